#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// JSON written with single quotes, which keeps the test data readable: every ' becomes ".
QByteArray j(const char* text);

// A copy of the text in memory of its own, allocated now: never the static data of a literal. Values
// that cross a co_await in the tests are made with it, so that a string released once too often
// shows under the sanitizers (the static data of a QStringLiteral is never freed). An empty text
// gives an empty string, which owns no memory.
QString onHeap(QStringView text);
// The same for UTF-8 text (a literal or bytes built at run time).
QString onHeap(const char* utf8);

// The bytes of the file at the path; a missing file ends the test run.
QByteArray readTestFile(const QString& path);

// The named file of the test's fixtures folder. PENDLOW_TEST_DATA is set for each test executable
// alone, so this is compiled into the test's own translation unit.
#ifdef PENDLOW_TEST_DATA
namespace {
inline QByteArray fixture(const QString& name) {
    return readTestFile(QStringLiteral(PENDLOW_TEST_DATA "/") + name);
}
} // namespace
#endif

// The named file of another test folder's fixtures, for a test that reads the files its neighbour's
// tests keep: fixtureOf("services/forwarding", "self-signed.pem") is tests/services/forwarding/fixtures/...
#ifdef PENDLOW_TESTS_DIR
namespace {
inline QByteArray fixtureOf(const char* folder, const QString& name) {
    return readTestFile(QStringLiteral(PENDLOW_TESTS_DIR "/") + QLatin1String(folder) +
                        QStringLiteral("/fixtures/") + name);
}
} // namespace
#endif
