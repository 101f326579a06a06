#include "ui/settings/AlertsSettingsTab.h"

#include "core/SettingsStore.h"
#include "services/TimerRefreshScheduler.h"
#include "services/alerts/FloatingAlerts.h"
#include "services/alerts/ToastAlerts.h"
#include "ui/settings/SettingsFormStyle.h"
#include "ui/settings/WorkDayRow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QCheckBox* switchBox(const QString& text, const QString& objectName, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(objectName);
    return box;
}

QComboBox* picker(const AlertsSettingsTab::Choices& choices, const QString& objectName, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(objectName);
    for (const auto& [text, value] : choices) {
        combo->addItem(text, value);
    }
    return combo;
}

// Selects the choice of the value; a value that is none of the choices gets an entry of its own,
// "<value> <unit>", so the stored setting is shown as it is.
void select(QComboBox* combo, int value, const QString& unit) {
    int index = combo->findData(value);
    if (index < 0) {
        combo->addItem(u"%1 %2"_s.arg(value).arg(unit), value);
        index = combo->count() - 1;
    }
    const QSignalBlocker blocker(combo);
    combo->setCurrentIndex(index);
}

} // namespace

AlertsSettingsTab::Choices AlertsSettingsTab::reminderIntervalChoices() {
    return {{u"1 minute"_s, 60},
            {u"2 minutes"_s, 120},
            {u"5 minutes"_s, 300},
            {u"10 minutes"_s, 600},
            {u"15 minutes"_s, 900}};
}

AlertsSettingsTab::Choices AlertsSettingsTab::autoDismissChoices() {
    return {{u"15 seconds"_s, 15}, {u"30 seconds"_s, 30}, {u"60 seconds"_s, 60}, {u"Never"_s, 0}};
}

AlertsSettingsTab::Choices AlertsSettingsTab::activeReminderChoices() {
    return {{u"1 minute"_s, 1},
            {u"15 minutes"_s, 15},
            {u"30 minutes"_s, 30},
            {u"1 hour"_s, 60},
            {u"2 hours"_s, 120}};
}

AlertsSettingsTab::AlertsSettingsTab(SettingsStore& settings, TimerRefreshScheduler& refresh,
                                     FloatingAlerts& floatingAlerts, ToastAlerts& toastAlerts,
                                     QWidget* parent)
    : SettingsPage(parent)
    , m_settings(settings)
    , m_refresh(refresh)
    , m_floatingAlerts(floatingAlerts)
    , m_toastAlerts(toastAlerts)
    , m_schedule(WorkDaySchedule::defaultWeek()) {
    setObjectName(u"alertsSettingsTab"_s);
    // Five sections do not fit the window's height: they scroll.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(scroll);
    auto* content = new QWidget(scroll);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(SettingsFormStyle::margin, SettingsFormStyle::margin,
                               SettingsFormStyle::margin, SettingsFormStyle::margin);
    addAlertTypes(layout, content);
    addNoTimerAlerts(layout, content);
    addActiveTimerReminder(layout, content);
    addWorkingHours(layout, content);
    addPreviews(layout, content);
    layout->addStretch();

    buildWorkDayRows();
    updateVisibility();
}

// Every control writes its setting on the user's changes only: clicked and activated are not
// emitted by loading.
void AlertsSettingsTab::addAlertTypes(QVBoxLayout* layout, QWidget* content) {
    QGroupBox* types = SettingsFormStyle::section(
        u"Alert Types"_s, u"Choose how you want to be reminded when no timer is running"_s, layout, content);
    auto* typeRows = new QVBoxLayout(types);
    m_useFloatingAlert = switchBox(u"Floating panel alert"_s, u"useFloatingAlert"_s, types);
    m_useToastAlert = switchBox(u"Toast notification"_s, u"useToastAlert"_s, types);
    m_useMenuBarPulsing = switchBox(u"Menu bar icon pulsing"_s, u"useMenuBarPulsing"_s, types);
    typeRows->addWidget(m_useFloatingAlert);
    typeRows->addWidget(m_useToastAlert);
    typeRows->addWidget(m_useMenuBarPulsing);

    connect(m_useFloatingAlert, &QCheckBox::clicked, this,
            [this](bool on) { m_settings.setUseFloatingAlert(on); });
    connect(m_useToastAlert, &QCheckBox::clicked, this, [this](bool on) { m_settings.setUseToastAlert(on); });
    connect(m_useMenuBarPulsing, &QCheckBox::clicked, this,
            [this](bool on) { m_settings.setUseMenuBarPulsing(on); });
}

void AlertsSettingsTab::addNoTimerAlerts(QVBoxLayout* layout, QWidget* content) {
    QGroupBox* noTimer = SettingsFormStyle::section(u"No Timer Alerts"_s, QString(), layout, content);
    QFormLayout* noTimerRows = SettingsFormStyle::formRows(noTimer);
    m_reminderInterval = picker(reminderIntervalChoices(), u"reminderInterval"_s, noTimer);
    m_autoDismiss = picker(autoDismissChoices(), u"autoDismissSeconds"_s, noTimer);
    noTimerRows->addRow(u"Reminder interval"_s, m_reminderInterval);
    noTimerRows->addRow(u"Auto-dismiss after"_s, m_autoDismiss);

    connect(m_reminderInterval, &QComboBox::activated, this, [this] {
        m_settings.setTimerReminderInterval(m_reminderInterval->currentData().toInt());
        // The new period applies at once, and one refresh runs now.
        m_refresh.start();
    });
    connect(m_autoDismiss, &QComboBox::activated, this,
            [this] { m_settings.setAlertAutoDismissSeconds(m_autoDismiss->currentData().toInt()); });
}

void AlertsSettingsTab::addActiveTimerReminder(QVBoxLayout* layout, QWidget* content) {
    QGroupBox* active = SettingsFormStyle::section(
        u"Active Timer Reminder"_s, u"Get a brief reminder when a timer is running so you don't forget"_s,
        layout, content);
    auto* activeRows = new QVBoxLayout(active);
    m_showActiveTimerReminder =
        switchBox(u"Show active timer reminder"_s, u"showActiveTimerReminder"_s, active);
    m_activeReminderRow = new QWidget(active);
    auto* activeIntervalRow = new QFormLayout(m_activeReminderRow);
    activeIntervalRow->setContentsMargins(0, 0, 0, 0);
    m_activeReminderInterval =
        picker(activeReminderChoices(), u"activeTimerReminderInterval"_s, m_activeReminderRow);
    activeIntervalRow->addRow(u"Reminder interval"_s, m_activeReminderInterval);
    activeRows->addWidget(m_showActiveTimerReminder);
    activeRows->addWidget(m_activeReminderRow);

    connect(m_showActiveTimerReminder, &QCheckBox::clicked, this, [this](bool on) {
        m_settings.setShowActiveTimerReminder(on);
        updateVisibility();
    });
    connect(m_activeReminderInterval, &QComboBox::activated, this, [this] {
        m_settings.setActiveTimerReminderInterval(m_activeReminderInterval->currentData().toInt());
    });
}

void AlertsSettingsTab::addWorkingHours(QVBoxLayout* layout, QWidget* content) {
    QGroupBox* hours = SettingsFormStyle::section(
        u"Working Hours"_s, u"No timer reminders will only appear during configured working hours"_s, layout,
        content);
    auto* hoursRows = new QVBoxLayout(hours);
    m_workingHoursEnabled = switchBox(u"Only remind during working hours"_s, u"workingHoursEnabled"_s, hours);
    m_workDays = new QWidget(hours);
    m_workDays->setObjectName(u"workDays"_s);
    auto* dayRows = new QVBoxLayout(m_workDays);
    dayRows->setContentsMargins(0, 0, 0, 0);
    hoursRows->addWidget(m_workingHoursEnabled);
    hoursRows->addWidget(m_workDays);

    connect(m_workingHoursEnabled, &QCheckBox::clicked, this, [this](bool on) {
        m_settings.setWorkingHoursEnabled(on);
        updateVisibility();
    });
}

void AlertsSettingsTab::addPreviews(QVBoxLayout* layout, QWidget* content) {
    QGroupBox* preview = SettingsFormStyle::section(
        u"Preview"_s, u"Test alerts will auto-dismiss after a few seconds"_s, layout, content);
    auto* previewRow = new QHBoxLayout(preview);
    auto* previewAlert = new QPushButton(u"No Timer Alert"_s, preview);
    previewAlert->setObjectName(u"previewNoTimerAlert"_s);
    auto* previewToast = new QPushButton(u"No Timer Toast"_s, preview);
    previewToast->setObjectName(u"previewNoTimerToast"_s);
    auto* previewActive = new QPushButton(u"Active Timer"_s, preview);
    previewActive->setObjectName(u"previewActiveTimer"_s);
    previewRow->addWidget(previewAlert);
    previewRow->addWidget(previewToast);
    previewRow->addWidget(previewActive);
    previewRow->addStretch();

    // Previews show the real windows whatever the switches, the hours and silent mode say; their
    // buttons only close them.
    connect(previewAlert, &QPushButton::clicked, this, [this] {
        m_floatingAlerts.showAlert(
            previewAlertSeconds, [] {}, [](double) {});
    });
    connect(previewToast, &QPushButton::clicked, this,
            [this] { m_toastAlerts.showToast(previewAlertSeconds); });
    connect(previewActive, &QPushButton::clicked, this, [this] {
        m_toastAlerts.showActiveTimerToast(previewTaskName, previewElapsedText, previewActiveTimerSeconds);
    });
}

void AlertsSettingsTab::load() {
    auto setChecked = [](QCheckBox* box, bool on) {
        const QSignalBlocker blocker(box);
        box->setChecked(on);
    };
    setChecked(m_useFloatingAlert, m_settings.useFloatingAlert());
    setChecked(m_useToastAlert, m_settings.useToastAlert());
    setChecked(m_useMenuBarPulsing, m_settings.useMenuBarPulsing());
    select(m_autoDismiss, m_settings.alertAutoDismissSeconds(), u"seconds"_s);
    select(m_reminderInterval, m_settings.timerReminderInterval(), u"seconds"_s);
    setChecked(m_showActiveTimerReminder, m_settings.showActiveTimerReminder());
    select(m_activeReminderInterval, m_settings.activeTimerReminderInterval(), u"minutes"_s);
    setChecked(m_workingHoursEnabled, m_settings.workingHoursEnabled());
    m_schedule = m_settings.workingHoursSchedule();
    buildWorkDayRows();
    updateVisibility();
}

WorkDayRow* AlertsSettingsTab::workDayRow(int dayIndex) const {
    for (WorkDayRow* row : m_rows) {
        if (row->dayIndex() == dayIndex) {
            return row;
        }
    }
    return nullptr;
}

void AlertsSettingsTab::buildWorkDayRows() {
    qDeleteAll(m_rows);
    m_rows.clear();
    for (int day : weekdayOrder()) {
        // A day the stored schedule lacks shows as a working day from 9:00 to 17:00; it is stored
        // once its row is changed.
        auto* row = new WorkDayRow(day, m_schedule.value(day, WorkDaySchedule{}), m_workDays);
        connect(row, &WorkDayRow::scheduleChanged, this, &AlertsSettingsTab::storeDay);
        m_workDays->layout()->addWidget(row);
        m_rows.append(row);
    }
}

void AlertsSettingsTab::storeDay(int dayIndex, const WorkDaySchedule& schedule) {
    m_schedule.insert(dayIndex, schedule);
    m_settings.setWorkingHoursSchedule(m_schedule);
}

void AlertsSettingsTab::updateVisibility() {
    m_activeReminderRow->setVisible(m_showActiveTimerReminder->isChecked());
    m_workDays->setVisible(m_workingHoursEnabled->isChecked());
}
