#pragma once

#include "core/WorkDaySchedule.h"
#include "ui/settings/SettingsPage.h"

#include <QList>
#include <QMap>
#include <QPair>

class FloatingAlerts;
class QCheckBox;
class QComboBox;
class QVBoxLayout;
class QWidget;
class TimerRefreshScheduler;
class ToastAlerts;
class SettingsStore;
class WorkDayRow;

// The "Alerts" page: how the user is reminded when no timer runs, how often, for how long, the
// reminder while a timer runs, the working hours, and previews of the three alert windows. Every
// control writes its setting as soon as the user changes it; a new no-timer reminder interval also
// restarts the periodic refresh at once. Shown, the page reads every setting again.
class AlertsSettingsTab : public SettingsPage {
    Q_OBJECT

public:
    // A picker's choices: text and stored value.
    using Choices = QList<QPair<QString, int>>;
    // "Reminder interval" of the no-timer alerts, in seconds.
    static Choices reminderIntervalChoices();
    // "Auto-dismiss after", in seconds (0: never).
    static Choices autoDismissChoices();
    // "Reminder interval" of the active-timer reminder, in minutes.
    static Choices activeReminderChoices();
    // The weekday indexes of the working-hours rows, Monday to Sunday.
    static QList<int> weekdayOrder() { return {1, 2, 3, 4, 5, 6, 0}; }

    static constexpr int previewAlertSeconds = 10;
    static constexpr int previewActiveTimerSeconds = 5;
    static inline const QString previewTaskName = QStringLiteral("Example task name");
    static inline const QString previewElapsedText = QStringLiteral("01:23:45");

    // The refresh is restarted when the no-timer reminder interval changes.
    AlertsSettingsTab(SettingsStore& settings, TimerRefreshScheduler& refresh, FloatingAlerts& floatingAlerts,
                      ToastAlerts& toastAlerts, QWidget* parent = nullptr);

    QString label() const override { return QStringLiteral("Alerts"); }
    QString iconName() const override { return QStringLiteral("preferences-desktop-notification"); }
    void load() override;

    // The schedule as the page holds it (what the next row change stores).
    const QMap<int, WorkDaySchedule>& workingHoursSchedule() const { return m_schedule; }
    WorkDayRow* workDayRow(int dayIndex) const;

private:
    // The sections, top to bottom, each with its controls' writes.
    void addAlertTypes(QVBoxLayout* layout, QWidget* content);
    void addNoTimerAlerts(QVBoxLayout* layout, QWidget* content);
    void addActiveTimerReminder(QVBoxLayout* layout, QWidget* content);
    void addWorkingHours(QVBoxLayout* layout, QWidget* content);
    void addPreviews(QVBoxLayout* layout, QWidget* content);
    void buildWorkDayRows();
    void storeDay(int dayIndex, const WorkDaySchedule& schedule);
    void updateVisibility();

    SettingsStore& m_settings;
    TimerRefreshScheduler& m_refresh;
    FloatingAlerts& m_floatingAlerts;
    ToastAlerts& m_toastAlerts;
    QMap<int, WorkDaySchedule> m_schedule;

    QCheckBox* m_useFloatingAlert;
    QCheckBox* m_useToastAlert;
    QCheckBox* m_useMenuBarPulsing;
    QComboBox* m_reminderInterval;
    QComboBox* m_autoDismiss;
    QCheckBox* m_showActiveTimerReminder;
    QWidget* m_activeReminderRow;
    QComboBox* m_activeReminderInterval;
    QCheckBox* m_workingHoursEnabled;
    QWidget* m_workDays;
    QList<WorkDayRow*> m_rows;
};
