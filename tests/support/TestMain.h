#pragma once

#include <QApplication>
#include <QTest>

namespace testsupport {
// Gives this test process its own empty XDG config, data and cache folders, so settings and
// data files written by one test never reach another, even when tests run in parallel.
// Falls back to the offscreen platform when no display is set.
void prepareTestProcess();
} // namespace testsupport

// Like QTEST_MAIN, with a QApplication and per-process XDG folders.
#define PENDLOW_TEST_MAIN(TestClass)                                                                         \
    int main(int argc, char* argv[]) {                                                                       \
        testsupport::prepareTestProcess();                                                                   \
        QApplication app(argc, argv);                                                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        QApplication::setQuitOnLastWindowClosed(false);                                                      \
        TestClass testObject;                                                                                \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&testObject, argc, argv);                                                        \
    }
