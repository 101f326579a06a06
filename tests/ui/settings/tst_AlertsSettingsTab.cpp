// The Alerts page: what it shows from an empty and a filled store, what each control writes, the
// immediate refresh on a new no-timer interval (and no refresh for the other controls), the
// active-timer picker shown only with its switch, the working-hours rows (order, day off, a missing
// day, the whole week written, an end at or before the start not stored) and the three previews.
#include "support/AppStateFixture.h"
#include "support/TestMain.h"

#include "services/TimerRefreshScheduler.h"
#include "ui/settings/AlertsSettingsTab.h"
#include "ui/settings/WorkDayRow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimeEdit>

namespace {
using Week = QMap<int, WorkDaySchedule>;

WorkDaySchedule day(bool on, int startHour, int startMinute, int endHour, int endMinute) {
    return WorkDaySchedule{on, startHour, startMinute, endHour, endMinute};
}

struct Rig {
    Rig()
        : tab(app.settings, *app.state().refreshService(), app.panels, app.toasts) {}

    QCheckBox* box(const QString& name) const { return tab.findChild<QCheckBox*>(name); }
    QComboBox* combo(const QString& name) const { return tab.findChild<QComboBox*>(name); }
    // Picks the choice as the user would.
    void choose(const QString& name, const QString& text) {
        QComboBox* picker = combo(name);
        const int index = picker->findText(text);
        QVERIFY2(index >= 0, qPrintable(text));
        picker->setCurrentIndex(index);
        emit picker->activated(index);
    }
    WorkDayRow* row(int dayIndex) const { return tab.workDayRow(dayIndex); }
    static QCheckBox* dayBox(WorkDayRow* row) {
        return row->findChild<QCheckBox*>(QStringLiteral("dayEnabled"));
    }
    static QTimeEdit* time(WorkDayRow* row, const char* name) {
        return row->findChild<QTimeEdit*>(QString::fromLatin1(name));
    }
    static bool shows(WorkDayRow* row, const char* name) {
        return !row->findChild<QWidget*>(QString::fromLatin1(name))->isHidden();
    }
    int refreshes() const { return app.clickUp.callCount(FakeClickUpAPI::getCurrentTimerOp); }

    AppStateFixture app;
    AlertsSettingsTab tab;
};
} // namespace

class AlertsSettingsTabTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyStoreShowsTheDefaults() {
        Rig rig;
        rig.tab.load();
        QCOMPARE(rig.tab.label(), QStringLiteral("Alerts"));
        QVERIFY(rig.box("useFloatingAlert")->isChecked());
        QVERIFY(!rig.box("useToastAlert")->isChecked());
        QVERIFY(rig.box("useMenuBarPulsing")->isChecked());
        QCOMPARE(rig.combo("reminderInterval")->currentText(), QStringLiteral("1 minute"));
        QCOMPARE(rig.combo("autoDismissSeconds")->currentText(), QStringLiteral("30 seconds"));
        QVERIFY(rig.box("showActiveTimerReminder")->isChecked());
        QVERIFY(!rig.combo("activeTimerReminderInterval")->parentWidget()->isHidden());
        QCOMPARE(rig.combo("activeTimerReminderInterval")->currentText(), QStringLiteral("30 minutes"));
        QVERIFY(!rig.box("workingHoursEnabled")->isChecked());
        QVERIFY(rig.tab.findChild<QWidget*>(QStringLiteral("workDays"))->isHidden());
        // Loading wrote nothing.
        QVERIFY(rig.app.settings.value(QStringLiteral("useFloatingAlert")).isNull());
        QVERIFY(rig.app.settings.value(QStringLiteral("timerReminderInterval")).isNull());
    }

    void storedNumbersShowTheirChoice_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("picker");
        QTest::addColumn<QString>("shown");
        QTest::newRow("never") << "alertAutoDismissSeconds" << 0 << "autoDismissSeconds"
                               << "Never";
        QTest::newRow("60 seconds") << "alertAutoDismissSeconds" << 60 << "autoDismissSeconds"
                                    << "60 seconds";
        QTest::newRow("not a choice") << "alertAutoDismissSeconds" << 45 << "autoDismissSeconds"
                                      << "45 seconds";
        QTest::newRow("interval 0") << "timerReminderInterval" << 0 << "reminderInterval"
                                    << "1 minute";
        QTest::newRow("interval 15 min") << "timerReminderInterval" << 900 << "reminderInterval"
                                         << "15 minutes";
        QTest::newRow("active 0") << "activeTimerReminderInterval" << 0 << "activeTimerReminderInterval"
                                  << "30 minutes";
        QTest::newRow("active 2 h") << "activeTimerReminderInterval" << 120 << "activeTimerReminderInterval"
                                    << "2 hours";
    }

    void storedNumbersShowTheirChoice() {
        QFETCH(QString, key);
        QFETCH(int, stored);
        QFETCH(QString, picker);
        QFETCH(QString, shown);
        Rig rig;
        rig.app.settings.setValue(key, stored);
        rig.tab.load();
        QCOMPARE(rig.combo(picker)->currentText(), shown);
    }

    // What each control writes; only the no-timer interval refreshes.
    void controlsWriteTheirSetting_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("choice"); // a picker's text; empty for a switch (clicked once)
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("written");
        QTest::addColumn<int>("refreshes");
        QTest::newRow("floating off") << "useFloatingAlert"
                                      << ""
                                      << "useFloatingAlert" << QVariant(false) << 0;
        QTest::newRow("toast on") << "useToastAlert"
                                  << ""
                                  << "useToastAlert" << QVariant(true) << 0;
        QTest::newRow("pulsing off") << "useMenuBarPulsing"
                                     << ""
                                     << "useMenuBarPulsing" << QVariant(false) << 0;
        QTest::newRow("active reminder off") << "showActiveTimerReminder"
                                             << ""
                                             << "showActiveTimerReminder" << QVariant(false) << 0;
        QTest::newRow("working hours on") << "workingHoursEnabled"
                                          << ""
                                          << "workingHoursEnabled" << QVariant(true) << 0;
        QTest::newRow("never") << "autoDismissSeconds"
                               << "Never"
                               << "alertAutoDismissSeconds" << QVariant(0) << 0;
        QTest::newRow("15 seconds") << "autoDismissSeconds"
                                    << "15 seconds"
                                    << "alertAutoDismissSeconds" << QVariant(15) << 0;
        QTest::newRow("active 1 hour") << "activeTimerReminderInterval"
                                       << "1 hour"
                                       << "activeTimerReminderInterval" << QVariant(60) << 0;
        QTest::newRow("interval 10 minutes") << "reminderInterval"
                                             << "10 minutes"
                                             << "timerReminderInterval" << QVariant(600) << 1;
    }

    void controlsWriteTheirSetting() {
        QFETCH(QString, control);
        QFETCH(QString, choice);
        QFETCH(QString, key);
        QFETCH(QVariant, written);
        QFETCH(int, refreshes);
        Rig rig;
        rig.app.configureClickUp();
        rig.tab.load();
        if (choice.isEmpty()) {
            rig.box(control)->click();
        } else {
            rig.choose(control, choice);
        }
        QCOMPARE(rig.app.settings.value(key).toString(), written.toString());
        QTRY_COMPARE(rig.refreshes(), refreshes);
        QTest::qWait(50);
        QCOMPARE(rig.refreshes(), refreshes);
        // The page shows the same after it is shown again.
        rig.tab.load();
        if (choice.isEmpty()) {
            QCOMPARE(rig.box(control)->isChecked(), written.toBool());
        } else {
            QCOMPARE(rig.combo(control)->currentText(), choice);
        }
    }

    void newIntervalRestartsTheRefreshAtThatPeriod() {
        Rig rig;
        rig.app.configureClickUp();
        rig.tab.load();
        TimerRefreshScheduler* refresh = rig.app.state().refreshService();
        QVERIFY(!refresh->isScheduled());
        rig.choose(QStringLiteral("reminderInterval"), QStringLiteral("5 minutes"));
        QVERIFY(refresh->isScheduled());
        QCOMPARE(refresh->refreshTimer()->interval(), 300 * 1000);
        QTRY_COMPARE(rig.refreshes(), 1);
        rig.choose(QStringLiteral("reminderInterval"), QStringLiteral("2 minutes"));
        QCOMPARE(refresh->refreshTimer()->interval(), 120 * 1000);
        QTRY_COMPARE(rig.refreshes(), 2);
    }

    void activeReminderPickerFollowsItsSwitchAndKeepsItsValue() {
        Rig rig;
        rig.app.settings.setActiveTimerReminderInterval(15);
        rig.tab.load();
        QWidget* pickerRow = rig.combo(QStringLiteral("activeTimerReminderInterval"))->parentWidget();
        rig.box(QStringLiteral("showActiveTimerReminder"))->click();
        QVERIFY(pickerRow->isHidden());
        rig.box(QStringLiteral("showActiveTimerReminder"))->click();
        QVERIFY(!pickerRow->isHidden());
        QCOMPARE(rig.combo(QStringLiteral("activeTimerReminderInterval"))->currentText(),
                 QStringLiteral("15 minutes"));
        QCOMPARE(rig.app.settings.activeTimerReminderInterval(), 15);
    }

    void workingHoursRowsFromAnEmptyStore() {
        Rig rig;
        rig.tab.load();
        rig.box(QStringLiteral("workingHoursEnabled"))->click();
        QVERIFY(!rig.tab.findChild<QWidget*>(QStringLiteral("workDays"))->isHidden());
        // Monday to Sunday, named in the locale's language, whatever its first weekday.
        const QList<WorkDayRow*> rows = rig.tab.findChildren<WorkDayRow*>();
        QCOMPARE(rows.size(), 7);
        QList<int> order;
        for (int index : AlertsSettingsTab::weekdayOrder()) {
            order.append(index);
        }
        QCOMPARE(order, (QList<int>{1, 2, 3, 4, 5, 6, 0}));
        QCOMPARE(Rig::dayBox(rig.row(1))->text(), QLocale().dayName(1));
        QCOMPARE(Rig::dayBox(rig.row(0))->text(), QLocale().dayName(7));
        for (int index = 1; index <= 5; ++index) {
            QVERIFY(Rig::dayBox(rig.row(index))->isChecked());
            QCOMPARE(Rig::time(rig.row(index), "startTime")->time(), QTime(9, 0));
            QCOMPARE(Rig::time(rig.row(index), "endTime")->time(), QTime(17, 0));
            QVERIFY(!Rig::shows(rig.row(index), "dayOffLabel"));
        }
        for (int index : {0, 6}) {
            QVERIFY(!Rig::dayBox(rig.row(index))->isChecked());
            QVERIFY(Rig::shows(rig.row(index), "dayOffLabel"));
            QVERIFY(!Rig::shows(rig.row(index), "startTime"));
        }
        // Ticking Saturday shows 9:00 to 17:00 and stores the whole week.
        Rig::dayBox(rig.row(6))->click();
        QVERIFY(Rig::shows(rig.row(6), "startTime"));
        QCOMPARE(Rig::time(rig.row(6), "startTime")->time(), QTime(9, 0));
        Week expected = WorkDaySchedule::defaultWeek();
        expected[6].isEnabled = true;
        QCOMPARE(rig.app.settings.workingHoursSchedule(), expected);
    }

    void aMissingDayShowsAsWorkingAndIsStoredOnceChanged() {
        Rig rig;
        rig.app.settings.setWorkingHoursEnabled(true);
        rig.app.settings.setWorkingHoursSchedule(Week{{1, day(true, 8, 30, 12, 0)}});
        rig.tab.load();
        QCOMPARE(Rig::time(rig.row(1), "startTime")->time(), QTime(8, 30));
        QVERIFY(Rig::dayBox(rig.row(2))->isChecked());
        QCOMPARE(Rig::time(rig.row(2), "endTime")->time(), QTime(17, 0));
        Rig::time(rig.row(1), "endTime")->setTime(QTime(13, 15));
        QCOMPARE(rig.app.settings.workingHoursSchedule(), (Week{{1, day(true, 8, 30, 13, 15)}}));
        Rig::time(rig.row(2), "startTime")->setTime(QTime(10, 0));
        QCOMPARE(rig.app.settings.workingHoursSchedule(),
                 (Week{{1, day(true, 8, 30, 13, 15)}, {2, day(true, 10, 0, 17, 0)}}));
    }

    // An end at or before the start is not stored; the row says so until it is put right.
    void endNotAfterStartIsNotStored_data() {
        QTest::addColumn<QTime>("end");
        QTest::newRow("equal") << QTime(9, 0);
        QTest::newRow("before") << QTime(8, 45);
    }

    void endNotAfterStartIsNotStored() {
        QFETCH(QTime, end);
        Rig rig;
        rig.app.settings.setWorkingHoursEnabled(true);
        rig.tab.load();
        WorkDayRow* monday = rig.row(1);
        QVERIFY(!Rig::shows(monday, "invalidTimesLabel"));
        Rig::time(monday, "endTime")->setTime(end);
        QVERIFY(Rig::shows(monday, "invalidTimesLabel"));
        QCOMPARE(monday->findChild<QLabel*>(QStringLiteral("invalidTimesLabel"))->text(),
                 WorkDayRow::invalidTimesText);
        QVERIFY(!rig.app.settings.contains(QStringLiteral("workingHoursSchedule")));
        // Switching the day off still goes through, with the times last stored.
        Rig::dayBox(monday)->click();
        QVERIFY(!Rig::shows(monday, "invalidTimesLabel"));
        QCOMPARE(rig.app.settings.workingHoursSchedule().value(1), day(false, 9, 0, 17, 0));
        Rig::dayBox(monday)->click();
        QVERIFY(Rig::shows(monday, "invalidTimesLabel"));
        // Put right, the times are stored and the line goes.
        Rig::time(monday, "endTime")->setTime(QTime(12, 0));
        QVERIFY(!Rig::shows(monday, "invalidTimesLabel"));
        QCOMPARE(rig.app.settings.workingHoursSchedule().value(1), day(true, 9, 0, 12, 0));
    }

    // The previews show the alert windows whatever the switches and silent mode say.
    void previewsShowTheAlertWindows() {
        Rig rig;
        rig.app.settings.setUseFloatingAlert(false);
        rig.app.settings.setUseToastAlert(false);
        rig.app.settings.setUseMenuBarPulsing(false);
        rig.app.enableSilentMode();
        rig.tab.load();
        rig.tab.findChild<QPushButton*>(QStringLiteral("previewNoTimerAlert"))->click();
        rig.tab.findChild<QPushButton*>(QStringLiteral("previewNoTimerToast"))->click();
        rig.tab.findChild<QPushButton*>(QStringLiteral("previewActiveTimer"))->click();
        QCOMPARE(rig.app.panels.panels, QList<int>{10});
        QCOMPARE(rig.app.toasts.toasts, QList<int>{10});
        QCOMPARE(rig.app.toasts.activeTimerToasts.size(), 1);
        QCOMPARE(rig.app.toasts.activeTimerToasts.constFirst().taskName, QStringLiteral("Example task name"));
        QCOMPARE(rig.app.toasts.activeTimerToasts.constFirst().elapsedText, QStringLiteral("01:23:45"));
        QCOMPARE(rig.app.toasts.activeTimerToasts.constFirst().autoDismissSeconds, 5);
        // The panel's buttons only close it: no timer starts and no silent mode begins.
        rig.app.panels.lastOnStart();
        rig.app.panels.lastOnDismiss(3600);
        QVERIFY(rig.app.clickUp.calls().isEmpty());
    }
};

PENDLOW_TEST_MAIN(AlertsSettingsTabTest)
#include "tst_AlertsSettingsTab.moc"
