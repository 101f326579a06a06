// The log: which levels are written while the debug switch is off or on, the line formats, masking
// of registered secrets, standard error, and logging from many threads.
#include "support/OutputCapture.h"
#include "support/TestMain.h"

#include "core/AppPaths.h"
#include "core/Error.h"
#include "core/Log.h"
#include "core/UserDefaultsService.h"

#include <QMutex>
#include <QThread>

#include <optional>
#include <stdexcept>

namespace {
struct Line {
    Log::Level level;
    Log::Category category;
    QString text;
};

class PlanningFailure : public Error {
public:
    QString description() const override { return QStringLiteral("The server said no"); }
};

class ErrorCarrying : public Error {
public:
    explicit ErrorCarrying(QString text)
        : m_text(std::move(text)) {}
    QString description() const override { return m_text; }

private:
    QString m_text;
};
} // namespace

class LogTest : public QObject {
    Q_OBJECT

    QMutex m_mutex;
    QList<Line> m_lines;

    QList<Line> lines() {
        QMutexLocker locker(&m_mutex);
        return std::exchange(m_lines, {});
    }

private Q_SLOTS:
    void init() {
        Log::setDebugEnabled(false);
        Log::setSinkForTesting([this](Log::Level level, Log::Category category, const QString& text) {
            QMutexLocker locker(&m_mutex);
            m_lines.append({level, category, text});
        });
    }

    void cleanup() {
        Log::setSinkForTesting({});
        m_lines.clear();
    }

    void levels_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("debugLogging");
        QTest::addColumn<std::optional<Log::Level>>("written");
        const std::optional<Log::Level> none;
        QTest::newRow("info, switch off") << "info" << false << none;
        QTest::newRow("debug, switch off") << "debug" << false << none;
        QTest::newRow("info, switch on") << "info" << true << std::optional(Log::Level::info);
        QTest::newRow("debug, switch on") << "debug" << true << std::optional(Log::Level::debug);
        for (bool on : {false, true}) {
            const char* suffix = on ? ", switch on" : ", switch off";
            QTest::newRow(qPrintable(QStringLiteral("warning") + suffix))
                << "warning" << on << std::optional(Log::Level::error);
            QTest::newRow(qPrintable(QStringLiteral("error") + suffix))
                << "error" << on << std::optional(Log::Level::error);
            QTest::newRow(qPrintable(QStringLiteral("notice") + suffix))
                << "notice" << on << std::optional(Log::Level::notice);
        }
    }

    void levels() {
        QFETCH(QString, operation);
        QFETCH(bool, debugLogging);
        QFETCH(std::optional<Log::Level>, written);
        Log::setDebugEnabled(debugLogging);
        const QString message = QStringLiteral("fetch done");
        const auto category = Log::Category::timer;
        if (operation == "info") {
            Log::info(message, category);
        } else if (operation == "debug") {
            Log::debug(message, category);
        } else if (operation == "warning") {
            Log::warning(message, category);
        } else if (operation == "error") {
            Log::error(message, category);
        } else {
            Log::notice(message, category);
        }
        const QList<Line> got = lines();
        QCOMPARE(got.size(), written ? 1 : 0);
        if (written) {
            QCOMPARE(got[0].level, *written);
            QCOMPARE(got[0].category, category);
            QCOMPARE(got[0].text, QStringLiteral("[Timer] fetch done"));
        }
    }

    // The switch takes effect on the next call.
    void debugSwitchTakesEffectOnTheNextCall() {
        Log::debug(QStringLiteral("one"), Log::Category::api);
        Log::setDebugEnabled(true);
        Log::debug(QStringLiteral("two"), Log::Category::api);
        Log::info(QStringLiteral("three"), Log::Category::api);
        Log::setDebugEnabled(false);
        Log::debug(QStringLiteral("four"), Log::Category::api);
        QStringList texts;
        for (const Line& line : lines()) {
            texts << line.text;
        }
        QCOMPARE(texts, (QStringList{"[API] two", "[API] three"}));
    }

    void errorForms_data() {
        QTest::addColumn<int>("cause"); // 0 none, 1 one of ours, 2 a standard exception
        QTest::addColumn<QString>("expected");
        QTest::newRow("without error") << 0 << "[API] Planning API error";
        QTest::newRow("with our error") << 1 << "[API] Planning API error: The server said no";
        QTest::newRow("with a standard exception") << 2 << "[API] Planning API error: bad thing";
    }

    void errorForms() {
        QFETCH(int, cause);
        QFETCH(QString, expected);
        const QString message = QStringLiteral("Planning API error");
        if (cause == 0) {
            Log::error(message, Log::Category::api);
        } else if (cause == 1) {
            Log::error(message, Log::Category::api, PlanningFailure());
        } else {
            Log::error(message, Log::Category::api, std::runtime_error("bad thing"));
        }
        const QList<Line> got = lines();
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].level, Log::Level::error);
        QCOMPARE(got[0].text, expected);
    }

    void categoryRawValues_data() {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<std::optional<Log::Category>>("category");
        using C = Log::Category;
        const QList<std::pair<const char*, C>> all{{"API", C::api},
                                                   {"Timer", C::timer},
                                                   {"AppUsage", C::appUsage},
                                                   {"Accessibility", C::accessibility},
                                                   {"DeepContext", C::deepContext},
                                                   {"Storage", C::storage},
                                                   {"Keychain", C::keychain},
                                                   {"UI", C::ui},
                                                   {"Notification", C::notification},
                                                   {"General", C::general}};
        for (const auto& [raw, category] : all) {
            QTest::newRow(raw) << QString::fromLatin1(raw) << std::optional(category);
        }
        QTest::newRow("lower case") << "api" << std::optional<C>();
        QTest::newRow("empty") << "" << std::optional<C>();
    }

    void categoryRawValues() {
        QFETCH(QString, raw);
        QFETCH(std::optional<Log::Category>, category);
        QCOMPARE(Log::categoryFromRawValue(raw), category);
        if (category) {
            QCOMPARE(Log::rawValue(*category), raw);
        }
    }

    void registeredSecretsAreMasked_data() {
        QTest::addColumn<QStringList>("secrets");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole secret") << QStringList{"pk_81_QWERTYUIOP"} << "token pk_81_QWERTYUIOP sent"
                                      << "[Keychain] token <redacted> sent";
        QTest::newRow("every occurrence") << QStringList{"rt-4f9a2c"} << "rt-4f9a2c,rt-4f9a2c"
                                          << "[Keychain] <redacted>,<redacted>";
        QTest::newRow("first ten characters")
            << QStringList{"ws0123456789abcdef"} << "toolsWSToken = ws01234567"
            << "[Keychain] toolsWSToken = <redacted>";
        QTest::newRow("seven first characters stay") << QStringList{"zz0123456789abcdef"} << "id zz01234"
                                                     << "[Keychain] id zz01234";
        QTest::newRow("four characters") << QStringList{"k9!x"} << "key k9!x."
                                         << "[Keychain] key <redacted>.";
        QTest::newRow("three characters are not registered") << QStringList{"q7z"} << "q7z"
                                                             << "[Keychain] q7z";
        QTest::newRow("secrets sharing a start")
            << QStringList{"shared-start-AAAA", "shared-start-BBBBBB"} << "x shared-start-BBBBBB y"
            << "[Keychain] x <redacted> y";
        QTest::newRow("overlapping secrets")
            << QStringList{"overlap-one-1234", "1234-and-more"} << "overlap-one-1234-and-more!"
            << "[Keychain] <redacted>!";
    }

    void registeredSecretsAreMasked() {
        QFETCH(QStringList, secrets);
        QFETCH(QString, message);
        QFETCH(QString, expected);
        for (const QString& secret : secrets) {
            Log::registerSecret(secret);
        }
        Log::notice(message, Log::Category::keychain);
        const QList<Line> got = lines();
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].text, expected);
    }

    void secretsInErrorDescriptionsAreMasked() {
        Log::registerSecret(QStringLiteral("sk-live-998877"));
        Log::error(QStringLiteral("Refresh failed"), Log::Category::api,
                   ErrorCarrying(QStringLiteral("invalid token sk-live-998877")));
        QCOMPARE(lines().value(0).text, QStringLiteral("[API] Refresh failed: invalid token <redacted>"));
    }

    void redactedStandIn() {
        QCOMPARE(Log::redacted(QString()), QStringLiteral("<none>"));
        QCOMPARE(Log::redacted(QStringLiteral("pk_1_abc")), QStringLiteral("<redacted>"));
    }

    void writesLevelAndLineToStandardError() {
        Log::setSinkForTesting({});
        OutputCapture capture(OutputCapture::Stream::standardError);
        Log::warning(QStringLiteral("disk full"), Log::Category::storage);
        Log::notice(QStringLiteral("started"), Log::Category::general);
        QCOMPARE(capture.text(), QStringLiteral("error [Storage] disk full\nnotice [General] started\n"));
    }

    // Console lines go out as they stand, whatever the debug switch, past the test sink, secrets masked.
    void consoleLinesAsTheyStand() {
        Log::registerSecret(QStringLiteral("pk_77_CONSOLE0SECRET"));
        {
            OutputCapture capture;
            Log::console(QStringLiteral("\U0001F680 Using cached tasks (token pk_77_CONSOLE0SECRET)"));
            QCOMPARE(capture.text(), QStringLiteral("\U0001F680 Using cached tasks (token <redacted>)\n"));
        }
        OutputCapture capture(OutputCapture::Stream::standardError);
        Log::console(QStringLiteral("Pendlow is already running (process 42); this start ends here."),
                     Log::Stream::standardError);
        QCOMPARE(capture.text(),
                 QStringLiteral("Pendlow is already running (process 42); this start ends here.\n"));
        QVERIFY(lines().isEmpty());
    }

    void linesFromManyThreadsArriveWhole() {
        Log::setDebugEnabled(true);
        QList<QThread*> threads;
        for (int t = 0; t < 4; ++t) {
            threads << QThread::create([t] {
                for (int i = 0; i < 250; ++i) {
                    Log::debug(QStringLiteral("thread %1 line %2").arg(t).arg(i), Log::Category::appUsage);
                }
            });
            threads.last()->start();
        }
        for (QThread* thread : threads) {
            QVERIFY(thread->wait(30000));
            delete thread;
        }
        QSet<QString> texts;
        for (const Line& line : lines()) {
            texts.insert(line.text);
        }
        QCOMPARE(texts.size(), 1000);
        QVERIFY(texts.contains(QStringLiteral("[AppUsage] thread 3 line 249")));
    }
};

PENDLOW_TEST_MAIN(LogTest)
#include "tst_Log.moc"
