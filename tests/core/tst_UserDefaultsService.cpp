// The settings store: defaults of a fresh file, typed access over the INI file, the working-hours
// schedule and its test, the silent-mode end and the change signal.
#include "support/FakeClock.h"
#include "support/TestMain.h"

#include "core/UserDefaultsService.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

namespace {
struct Accessor {
    std::function<QVariant(const UserDefaultsService&)> get;
    std::function<void(UserDefaultsService&, const QVariant&)> set;
};

#define PENDLOW_ACCESSOR(name, setter, type)                                                                 \
    {                                                                                                        \
        QStringLiteral(#name), Accessor {                                                                    \
            [](const UserDefaultsService& s) { return QVariant::fromValue(s.name()); },                      \
                [](UserDefaultsService& s, const QVariant& v) { s.setter(v.value<type>()); }                 \
        }                                                                                                    \
    }

// Every typed property with a plain value, by its key.
const QMap<QString, Accessor>& accessors() {
    static const QMap<QString, Accessor> all{
        PENDLOW_ACCESSOR(teamId, setTeamId, QString),
        PENDLOW_ACCESSOR(toolsUrl, setToolsUrl, QString),
        PENDLOW_ACCESSOR(userKey, setUserKey, QString),
        PENDLOW_ACCESSOR(toolsTokenExpiry, setToolsTokenExpiry, double),
        PENDLOW_ACCESSOR(n8nEndpoint, setN8nEndpoint, QString),
        PENDLOW_ACCESSOR(openAIModel, setOpenAIModel, QString),
        PENDLOW_ACCESSOR(disableTimerWarning, setDisableTimerWarning, bool),
        PENDLOW_ACCESSOR(lightMode, setLightMode, bool),
        PENDLOW_ACCESSOR(useFloatingAlert, setUseFloatingAlert, bool),
        PENDLOW_ACCESSOR(useToastAlert, setUseToastAlert, bool),
        PENDLOW_ACCESSOR(useMenuBarPulsing, setUseMenuBarPulsing, bool),
        PENDLOW_ACCESSOR(timerReminderInterval, setTimerReminderInterval, int),
        PENDLOW_ACCESSOR(alertAutoDismissSeconds, setAlertAutoDismissSeconds, int),
        PENDLOW_ACCESSOR(showActiveTimerReminder, setShowActiveTimerReminder, bool),
        PENDLOW_ACCESSOR(activeTimerReminderInterval, setActiveTimerReminderInterval, int),
        PENDLOW_ACCESSOR(workingHoursEnabled, setWorkingHoursEnabled, bool),
        PENDLOW_ACCESSOR(isAppUsageTrackingEnabled, setIsAppUsageTrackingEnabled, bool),
        PENDLOW_ACCESSOR(isWindowTitleTrackingEnabled, setIsWindowTitleTrackingEnabled, bool),
        PENDLOW_ACCESSOR(isDeepContextEnabled, setIsDeepContextEnabled, bool),
        PENDLOW_ACCESSOR(showAppUsageInMenu, setShowAppUsageInMenu, bool),
        PENDLOW_ACCESSOR(appUsageRetentionDays, setAppUsageRetentionDays, int),
        PENDLOW_ACCESSOR(windowTitleCaptureInterval, setWindowTitleCaptureInterval, int),
        PENDLOW_ACCESSOR(activityBlockGapMinutes, setActivityBlockGapMinutes, int),
        PENDLOW_ACCESSOR(excludedAppsFromTracking, setExcludedAppsFromTracking, QStringList),
        PENDLOW_ACCESSOR(privacyRedactionKeywords, setPrivacyRedactionKeywords, QStringList),
        PENDLOW_ACCESSOR(privacyAlwaysRedactApps, setPrivacyAlwaysRedactApps, QStringList),
        PENDLOW_ACCESSOR(useDefaultBrowser, setUseDefaultBrowser, bool),
        PENDLOW_ACCESSOR(popupBrowserWidth, setPopupBrowserWidth, int),
        PENDLOW_ACCESSOR(popupBrowserHeight, setPopupBrowserHeight, int),
        PENDLOW_ACCESSOR(debugLoggingEnabled, setDebugLoggingEnabled, bool),
    };
    return all;
}

const QDate kMonday(2026, 3, 2);

WorkDaySchedule day(bool enabled, int startHour, int startMinute, int endHour, int endMinute) {
    return WorkDaySchedule{enabled, startHour, startMinute, endHour, endMinute};
}

QByteArray fileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

using Week = QMap<int, WorkDaySchedule>;

class UserDefaultsServiceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<UserDefaultsService> m_store;

    QString path() const { return m_dir->filePath(QStringLiteral("Pendlow/Pendlow.conf")); }

private Q_SLOTS:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        m_store = std::make_unique<UserDefaultsService>(path());
    }

    void cleanup() {
        m_store.reset();
        m_dir.reset();
    }

    void freshStoreReadsDefaults_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("expected");
        const auto row = [](const char* key, const QVariant& expected) {
            QTest::newRow(key) << QString::fromLatin1(key) << expected;
        };
        row("teamId", QString());
        row("toolsUrl", SettingsStore::defaultToolsUrl); // the built-in Tools server
        row("userKey", QString());
        row("toolsTokenExpiry", 0.0);
        row("n8nEndpoint", QString());
        row("openAIModel", QStringLiteral("gpt-4o-mini"));
        for (const char* on :
             {"useFloatingAlert", "useMenuBarPulsing", "showActiveTimerReminder",
              "isWindowTitleTrackingEnabled", "isDeepContextEnabled", "showAppUsageInMenu"}) {
            row(on, true);
        }
        for (const char* off : {"disableTimerWarning", "lightMode", "useToastAlert", "workingHoursEnabled",
                                "isAppUsageTrackingEnabled", "useDefaultBrowser", "debugLoggingEnabled"}) {
            row(off, false);
        }
        row("timerReminderInterval", 60);
        row("alertAutoDismissSeconds", 30);
        row("activeTimerReminderInterval", 30);
        row("appUsageRetentionDays", 30);
        row("windowTitleCaptureInterval", 30);
        row("activityBlockGapMinutes", 15);
        row("popupBrowserWidth", 900);
        row("popupBrowserHeight", 700);
        row("excludedAppsFromTracking", QStringList());
        row("privacyRedactionKeywords", QStringList());
        row("privacyAlwaysRedactApps", QStringList());
    }

    void freshStoreReadsDefaults() {
        QFETCH(QString, key);
        QFETCH(QVariant, expected);
        QVERIFY2(accessors().contains(key), qPrintable(key));
        QCOMPARE(accessors()[key].get(*m_store), expected);
        // Reading writes nothing.
        QVERIFY(!m_store->contains(key));
        QVERIFY(!QFile::exists(path()));
    }

    void freshStoreHasDefaultWeekAndNoSilentMode() {
        QCOMPARE(m_store->workingHoursSchedule(), WorkDaySchedule::defaultWeek());
        QCOMPARE(m_store->silentModeEnd(), std::nullopt);
        FakeClock clock(QDateTime(kMonday.addDays(6), QTime(3, 0))); // Sunday night
        QVERIFY(m_store->isWithinWorkingHours());
    }

    // Each typed setter writes under its own key (read back untyped and by a second store on the
    // same file), and each getter reads that key.
    void typedValuesRoundTrip_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("written");
        QTest::addColumn<QVariant>("expected");
        const auto row = [](const char* name, const char* key, const QVariant& written,
                            const QVariant& expected) {
            QTest::newRow(name) << QString::fromLatin1(key) << written << expected;
        };
        row("team id", "teamId", QStringLiteral("9012345"), QStringLiteral("9012345"));
        row("url with comma and quote", "toolsUrl", QStringLiteral("https://t.example/a,b\"c/"),
            QStringLiteral("https://t.example/a,b\"c/"));
        row("user key", "userKey", QStringLiteral("uk-1"), QStringLiteral("uk-1"));
        row("expiry with fraction", "toolsTokenExpiry", 1767225600.5, 1767225600.5);
        row("endpoint", "n8nEndpoint", QStringLiteral("http://127.0.0.1:5678/hook"),
            QStringLiteral("http://127.0.0.1:5678/hook"));
        row("empty model stays empty", "openAIModel", QString(""), QString(""));
        row("switch on by default stored false", "useFloatingAlert", false, false);
        row("switch off by default stored true", "debugLoggingEnabled", true, true);
        row("interval", "timerReminderInterval", 90, 90);
        row("stored 0 reads as default", "activeTimerReminderInterval", 0, 30);
        row("negative kept", "alertAutoDismissSeconds", -1, -1);
        row("auto-dismiss 0 means never", "alertAutoDismissSeconds", 0, 0);
        // Intervals outside their range read as their default, so no timer overflows.
        row("refresh beyond a day", "timerReminderInterval", 2147484, 60);
        row("refresh negative", "timerReminderInterval", -60, 60);
        row("reminder beyond a day", "activeTimerReminderInterval", 24 * 60 + 1, 30);
        row("reminder a day", "activeTimerReminderInterval", 24 * 60, 24 * 60);
        row("capture negative", "windowTitleCaptureInterval", -5, 30);
        row("auto-dismiss beyond a day", "alertAutoDismissSeconds", 536870912, 30);
        row("width", "popupBrowserWidth", 1200, 1200);
        row("list with comma item", "excludedAppsFromTracking", QStringList{"com.a", "com.b,c"},
            QStringList{"com.a", "com.b,c"});
        row("one-item list", "privacyRedactionKeywords", QStringList{"salary"}, QStringList{"salary"});
        row("empty list", "privacyAlwaysRedactApps", QStringList(), QStringList());
    }

    void typedValuesRoundTrip() {
        QFETCH(QString, key);
        QFETCH(QVariant, written);
        QFETCH(QVariant, expected);
        const Accessor& accessor = accessors()[key];
        accessor.set(*m_store, written);
        QVERIFY(m_store->contains(key));
        QCOMPARE(accessor.get(*m_store), expected);
        UserDefaultsService other(path());
        QCOMPARE(accessor.get(other), expected);
        QVERIFY(fileText(path()).contains(key.toUtf8() + '='));
    }

    // A file written by hand (or by another process) reads as its text says.
    // The file holds a user key: written for the user alone, also when it was there before with wider
    // permissions, and across the store's replacing writes.
    void theFileIsTheUsersAlone() {
        m_store->setValue(QStringLiteral("teamId"), QStringLiteral("1"));
        QCOMPARE(QFileInfo(path()).permissions() & 0x0077, QFileDevice::Permissions());
        QCOMPARE(QFileInfo(QFileInfo(path()).absolutePath()).permissions() & 0x0077,
                 QFileDevice::Permissions());
        QVERIFY(QFile::setPermissions(path(), QFileDevice::Permissions::fromInt(0x6644)));
        m_store->setValue(QStringLiteral("teamId"), QStringLiteral("2"));
        QCOMPARE(QFileInfo(path()).permissions() & 0x0077, QFileDevice::Permissions());
        m_store->remove(QStringLiteral("teamId"));
        QCOMPARE(QFileInfo(path()).permissions() & 0x0077, QFileDevice::Permissions());
    }

    void readsAHandWrittenFile() {
        QDir().mkpath(m_dir->filePath(QStringLiteral("Pendlow")));
        QVERIFY(QFile::copy(QStringLiteral(PENDLOW_TEST_DATA "/handwritten.conf"), path()));
        UserDefaultsService store(path());
        QCOMPARE(store.teamId(), QStringLiteral("9012345"));
        QCOMPARE(store.toolsUrl(), QStringLiteral("https://tools.example.org/"));
        QCOMPARE(store.n8nEndpoint(),
                 QStringLiteral("https://n8n.example.org/hook?a=1,b=2")); // unquoted comma
        QCOMPARE(store.useFloatingAlert(), false);
        QCOMPARE(store.useToastAlert(), true);
        QCOMPARE(store.useMenuBarPulsing(), true);
        QCOMPARE(store.timerReminderInterval(), 120);
        QCOMPARE(store.alertAutoDismissSeconds(), 0); // "Never"
        QCOMPARE(store.toolsTokenExpiry(), 1767225600.5);
        QCOMPARE(store.excludedAppsFromTracking(), (QStringList{"org.mozilla.firefox", "com.example,comma"}));
        QCOMPARE(store.privacyRedactionKeywords(), QStringList{"salary"});
        QCOMPARE(store.silentModeEnd(), QDateTime(QDate(2026, 3, 2), QTime(5, 0), Qt::UTC));
        QCOMPARE(store.workingHoursSchedule(), (Week{{1, day(true, 8, 30, 12, 0)}}));
        QCOMPARE(store.value(QStringLiteral("selectedContentTab")).toString(), QStringLiteral("activity"));
    }

    void switchesOnByDefaultFollowTheStoredValue_data() {
        QTest::addColumn<QString>("key");
        for (const char* key :
             {"useFloatingAlert", "useMenuBarPulsing", "showActiveTimerReminder",
              "isWindowTitleTrackingEnabled", "isDeepContextEnabled", "showAppUsageInMenu"}) {
            QTest::newRow(key) << QString::fromLatin1(key);
        }
    }

    void switchesOnByDefaultFollowTheStoredValue() {
        QFETCH(QString, key);
        const Accessor& accessor = accessors()[key];
        accessor.set(*m_store, false);
        QCOMPARE(accessor.get(*m_store), QVariant(false));
        m_store->remove(key);
        QCOMPARE(accessor.get(*m_store), QVariant(true));
    }

    void workingHours_data() {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<Week>("week"); // empty: nothing stored, the default week applies
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<bool>("within");
        const auto at = [](int daysAfterMonday, int hour, int minute) {
            return QDateTime(kMonday.addDays(daysAfterMonday), QTime(hour, minute, 59));
        };
        QTest::newRow("switched off, Sunday night") << false << Week() << at(6, 3, 0) << true;
        QTest::newRow("Monday 8:59") << true << Week() << at(0, 8, 59) << false;
        QTest::newRow("Monday 9:00") << true << Week() << at(0, 9, 0) << true;
        QTest::newRow("Monday 16:59") << true << Week() << at(0, 16, 59) << true;
        QTest::newRow("Monday 17:00") << true << Week() << at(0, 17, 0) << false;
        QTest::newRow("Friday 12:00") << true << Week() << at(4, 12, 0) << true;
        QTest::newRow("Saturday 12:00") << true << Week() << at(5, 12, 0) << false;
        QTest::newRow("Sunday 12:00") << true << Week() << at(6, 12, 0) << false;
        const Week tuesdayOnly{{2, day(true, 7, 15, 8, 0)}};
        QTest::newRow("day missing from stored week") << true << tuesdayOnly << at(0, 10, 0) << false;
        QTest::newRow("stored day keeps its hours") << true << tuesdayOnly << at(1, 7, 15) << true;
        QTest::newRow("stored day, before its start") << true << tuesdayOnly << at(1, 7, 14) << false;
        const Week disabledMonday{{1, day(false, 0, 0, 23, 59)}};
        QTest::newRow("disabled day") << true << disabledMonday << at(0, 12, 0) << false;
        const Week overnight{{1, day(true, 22, 0, 2, 0)}};
        QTest::newRow("range across midnight, late") << true << overnight << at(0, 23, 0) << false;
        QTest::newRow("range across midnight, early") << true << overnight << at(0, 1, 0) << false;
        const Week empty{{1, day(true, 9, 0, 9, 0)}};
        QTest::newRow("end equals start") << true << empty << at(0, 9, 0) << false;
    }

    void workingHours() {
        QFETCH(bool, enabled);
        QFETCH(Week, week);
        QFETCH(QDateTime, now);
        QFETCH(bool, within);
        m_store->setWorkingHoursEnabled(enabled);
        if (!week.isEmpty()) {
            m_store->setWorkingHoursSchedule(week);
        }
        FakeClock clock(now);
        QCOMPARE(m_store->isWithinWorkingHours(), within);
    }

    void scheduleIsStoredAsJsonByDayIndex() {
        Week week = WorkDaySchedule::defaultWeek();
        week[3] = day(true, 10, 15, 18, 45);
        m_store->setWorkingHoursSchedule(week);
        QCOMPARE(UserDefaultsService(path()).workingHoursSchedule(), week);
        const QJsonDocument json = QJsonDocument::fromJson(
            m_store->value(QStringLiteral("workingHoursSchedule")).toString().toUtf8());
        QCOMPARE(json.object().keys(), (QStringList{"0", "1", "2", "3", "4", "5", "6"}));
        const QJsonObject wednesday = json.object().value(QStringLiteral("3")).toObject();
        QCOMPARE(wednesday, (QJsonObject{{"isEnabled", true},
                                         {"startHour", 10},
                                         {"startMinute", 15},
                                         {"endHour", 18},
                                         {"endMinute", 45}}));
    }

    void unreadableScheduleReadsAsDefaultWeek_data() {
        QTest::addColumn<QString>("stored");
        const QString good = QStringLiteral(R"("isEnabled":true,"startHour":8,"startMinute":0,"endHour":12)");
        QTest::newRow("not JSON") << QStringLiteral("{\"1\":");
        QTest::newRow("array") << QStringLiteral("[1,2]");
        QTest::newRow("day lacks endMinute") << QStringLiteral(R"({"1":{%1}})").arg(good);
        QTest::newRow("one bad day among good ones")
            << QStringLiteral(R"({"1":{%1,"endMinute":0},"2":{%1}})").arg(good);
        QTest::newRow("day index not a number") << QStringLiteral(R"({"mon":{%1,"endMinute":0}})").arg(good);
        QTest::newRow("hour as text") << QStringLiteral(
            R"({"1":{"isEnabled":true,"startHour":"8","startMinute":0,"endHour":12,"endMinute":0}})");
        QTest::newRow("switch as number") << QStringLiteral(
            R"({"1":{"isEnabled":1,"startHour":8,"startMinute":0,"endHour":12,"endMinute":0}})");
        QTest::newRow("fractional minute") << QStringLiteral(
            R"({"1":{"isEnabled":true,"startHour":8,"startMinute":0.5,"endHour":12,"endMinute":0}})");
    }

    void unreadableScheduleReadsAsDefaultWeek() {
        QFETCH(QString, stored);
        m_store->setValue(QStringLiteral("workingHoursSchedule"), stored);
        QCOMPARE(m_store->workingHoursSchedule(), WorkDaySchedule::defaultWeek());
        m_store->setWorkingHoursEnabled(true);
        FakeClock clock(QDateTime(kMonday, QTime(8, 0)));
        QVERIFY(!m_store->isWithinWorkingHours()); // the default week's Monday starts at 9:00
    }

    void silentModeEnd() {
        const QDateTime end(kMonday, QTime(14, 30, 5, 250));
        m_store->setSilentModeEnd(end);
        QCOMPARE(m_store->silentModeEnd(), end);
        const QString stored = m_store->value(QStringLiteral("silentModeEnd")).toString();
        QVERIFY2(stored.contains(QRegularExpression(
                     QStringLiteral("^2026-03-02T\\d\\d:30:05\\.250(Z|[+-]\\d\\d:\\d\\d)$"))),
                 qPrintable(stored));

        m_store->setSilentModeEnd(std::nullopt);
        QVERIFY(!m_store->contains(QStringLiteral("silentModeEnd")));
        QCOMPARE(m_store->silentModeEnd(), std::nullopt);

        m_store->setValue(QStringLiteral("silentModeEnd"), QStringLiteral("tomorrow"));
        QCOMPARE(m_store->silentModeEnd(), std::nullopt);
    }

    void changeSignal() {
        // Values read from the file's text equal the same values written as numbers or booleans.
        QDir().mkpath(m_dir->filePath(QStringLiteral("Pendlow")));
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\ntimerReminderInterval=120\nuseToastAlert=true\ntoolsTokenExpiry=1.5\n"
                   "privacyRedactionKeywords=salary\n");
        file.close();
        QSignalSpy spy(m_store.get(), &UserDefaultsService::settingChanged);
        m_store->setTimerReminderInterval(120);
        m_store->setUseToastAlert(true);
        m_store->setToolsTokenExpiry(1.5);
        m_store->setPrivacyRedactionKeywords({"salary"});
        QCOMPARE(spy.count(), 0);

        m_store->setTimerReminderInterval(90);
        m_store->setTimerReminderInterval(90);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.takeFirst().at(0).toString(), QStringLiteral("timerReminderInterval"));

        m_store->setSilentModeEnd(std::nullopt); // nothing to remove
        m_store->setExcludedAppsFromTracking({"a"});
        m_store->setExcludedAppsFromTracking({"a"});
        m_store->setWorkingHoursSchedule(WorkDaySchedule::defaultWeek());
        m_store->setWorkingHoursSchedule(WorkDaySchedule::defaultWeek());
        m_store->remove(QStringLiteral("timerReminderInterval"));
        m_store->remove(QStringLiteral("timerReminderInterval"));
        QStringList keys;
        for (const auto& arguments : spy) {
            keys << arguments.at(0).toString();
        }
        QCOMPARE(keys,
                 (QStringList{"excludedAppsFromTracking", "workingHoursSchedule", "timerReminderInterval"}));
    }

    void usableFromManyThreads() {
        std::atomic<int> lost = 0;
        QList<QThread*> threads;
        for (int t = 0; t < 4; ++t) {
            threads << QThread::create([this, t, &lost] {
                for (int i = 0; i < 50; ++i) {
                    const QString key = QStringLiteral("k%1_%2").arg(t).arg(i);
                    m_store->setValue(key, i + 1);
                    if (m_store->value(key).toInt() != i + 1 || m_store->debugLoggingEnabled()) {
                        ++lost;
                    }
                }
            });
            threads.last()->start();
        }
        for (QThread* thread : threads) {
            QVERIFY(thread->wait(30000));
            delete thread;
        }
        QCOMPARE(lost.load(), 0);
        const QSettings settings(path(), QSettings::IniFormat);
        QCOMPARE(settings.allKeys().size(), 200);
    }

    void scheduleTimesForThePickers_data() {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<int>("startHour");
        QTest::addColumn<int>("startMinute");
        QTest::addColumn<int>("endHour");
        QTest::addColumn<int>("endMinute");
        QTest::newRow("08:30") << QTime(8, 30) << 8 << 30 << 8 << 30;
        QTest::newRow("seconds dropped") << QTime(23, 59, 59) << 23 << 59 << 23 << 59;
        QTest::newRow("invalid time") << QTime() << 9 << 0 << 17 << 0;
    }

    void scheduleTimesForThePickers() {
        QFETCH(QTime, time);
        QFETCH(int, startHour);
        QFETCH(int, startMinute);
        QFETCH(int, endHour);
        QFETCH(int, endMinute);
        WorkDaySchedule schedule = day(true, 1, 1, 2, 2);
        schedule.setStartTime(time);
        schedule.setEndTime(time);
        QCOMPARE(schedule, day(true, startHour, startMinute, endHour, endMinute));
        QCOMPARE(schedule.startTime(), QTime(startHour, startMinute));
        QCOMPARE(schedule.endTime(), QTime(endHour, endMinute));
    }

    void impossibleStoredTimeReadsAsNow() {
        FakeClock clock(QDateTime(kMonday, QTime(11, 22)));
        const WorkDaySchedule schedule = day(true, 25, 0, 17, 61);
        QCOMPARE(schedule.startTime(), QTime(11, 22));
        QCOMPARE(schedule.endTime(), QTime(11, 22));
    }
};

PENDLOW_TEST_MAIN(UserDefaultsServiceTest)
#include "tst_UserDefaultsService.moc"
