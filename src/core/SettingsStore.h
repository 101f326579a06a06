#pragma once

#include "core/WorkDaySchedule.h"

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// The typed settings, as the states that must be testable with another store hold them.
// Getters apply each key's default: a key never written (and, for the whole numbers, a stored 0) reads
// as the default named beside it. Setters write the given value.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // ClickUp team (workspace) id; default empty.
    virtual QString teamId() const = 0;
    virtual void setTeamId(const QString& value) = 0;
    // The Tools server of a setup that never saved the Timesheet tab.
    static inline const QString defaultToolsUrl = QStringLiteral("https://tools.brisvane.com/");
    // Base address of the Tools server, ending in "/"; defaultToolsUrl while unset (a stored empty
    // text is kept as it is).
    virtual QString toolsUrl() const = 0;
    virtual void setToolsUrl(const QString& value) = 0;
    // The user's key on the Tools server; default empty.
    virtual QString userKey() const = 0;
    virtual void setUserKey(const QString& value) = 0;
    // Expiry of the Tools access token, seconds since 1970; 0 means expired.
    virtual double toolsTokenExpiry() const = 0;
    virtual void setToolsTokenExpiry(double value) = 0;
    // Address of the n8n webhook; empty means e-mail forwarding is not configured.
    virtual QString n8nEndpoint() const = 0;
    virtual void setN8nEndpoint(const QString& value) = 0;
    // SHA-256 (hex) of the DER form of a certificate the user accepts for the n8n webhook's host
    // although it does not verify (a self-signed one); default empty: none.
    virtual QString n8nPinnedCertificateSha256() const = 0;
    virtual void setN8nPinnedCertificateSha256(const QString& value) = 0;
    // Default "gpt-4o-mini".
    virtual QString openAIModel() const = 0;
    virtual void setOpenAIModel(const QString& value) = 0;

    // Default false.
    virtual bool disableTimerWarning() const = 0;
    virtual void setDisableTimerWarning(bool value) = 0;
    // Default false.
    virtual bool lightMode() const = 0;
    virtual void setLightMode(bool value) = 0;
    // Default true.
    virtual bool useFloatingAlert() const = 0;
    virtual void setUseFloatingAlert(bool value) = 0;
    // Default false.
    virtual bool useToastAlert() const = 0;
    virtual void setUseToastAlert(bool value) = 0;
    // Default true.
    virtual bool useMenuBarPulsing() const = 0;
    virtual void setUseMenuBarPulsing(bool value) = 0;
    // Seconds; default 60.
    virtual int timerReminderInterval() const = 0;
    virtual void setTimerReminderInterval(int value) = 0;
    // Seconds; default 30, only for a key never written: a stored 0 ("Never") keeps the alerts open.
    virtual int alertAutoDismissSeconds() const = 0;
    virtual void setAlertAutoDismissSeconds(int value) = 0;
    // Default true.
    virtual bool showActiveTimerReminder() const = 0;
    virtual void setShowActiveTimerReminder(bool value) = 0;
    // Minutes; default 30.
    virtual int activeTimerReminderInterval() const = 0;
    virtual void setActiveTimerReminderInterval(int value) = 0;
    // Default false.
    virtual bool workingHoursEnabled() const = 0;
    virtual void setWorkingHoursEnabled(bool value) = 0;
    // Day index (0 = Sunday) to working hours; the default week when unset or unreadable.
    virtual QMap<int, WorkDaySchedule> workingHoursSchedule() const = 0;
    virtual void setWorkingHoursSchedule(const QMap<int, WorkDaySchedule>& value) = 0;
    // End of the silent mode, in local time; none when unset or unreadable. Setting none removes it.
    virtual std::optional<QDateTime> silentModeEnd() const = 0;
    virtual void setSilentModeEnd(const std::optional<QDateTime>& value) = 0;

    // Default false.
    virtual bool isAppUsageTrackingEnabled() const = 0;
    virtual void setIsAppUsageTrackingEnabled(bool value) = 0;
    // Default true.
    virtual bool isWindowTitleTrackingEnabled() const = 0;
    virtual void setIsWindowTitleTrackingEnabled(bool value) = 0;
    // Default true.
    virtual bool isDeepContextEnabled() const = 0;
    virtual void setIsDeepContextEnabled(bool value) = 0;
    // Default true.
    virtual bool showAppUsageInMenu() const = 0;
    virtual void setShowAppUsageInMenu(bool value) = 0;
    // Days; default 30.
    virtual int appUsageRetentionDays() const = 0;
    virtual void setAppUsageRetentionDays(int value) = 0;
    // Seconds; default 30.
    virtual int windowTitleCaptureInterval() const = 0;
    virtual void setWindowTitleCaptureInterval(int value) = 0;
    // Minutes; default 15.
    virtual int activityBlockGapMinutes() const = 0;
    virtual void setActivityBlockGapMinutes(int value) = 0;
    // Default empty.
    virtual QStringList excludedAppsFromTracking() const = 0;
    virtual void setExcludedAppsFromTracking(const QStringList& value) = 0;
    // Default empty.
    virtual QStringList privacyRedactionKeywords() const = 0;
    virtual void setPrivacyRedactionKeywords(const QStringList& value) = 0;
    // Default empty.
    virtual QStringList privacyAlwaysRedactApps() const = 0;
    virtual void setPrivacyAlwaysRedactApps(const QStringList& value) = 0;

    // Default false.
    virtual bool useDefaultBrowser() const = 0;
    virtual void setUseDefaultBrowser(bool value) = 0;
    // Pixels; default 900.
    virtual int popupBrowserWidth() const = 0;
    virtual void setPopupBrowserWidth(int value) = 0;
    // Pixels; default 700.
    virtual int popupBrowserHeight() const = 0;
    virtual void setPopupBrowserHeight(int value) = 0;
    // Default false.
    virtual bool debugLoggingEnabled() const = 0;
    virtual void setDebugLoggingEnabled(bool value) = 0;

    // Whether now (Clock::now(), local time) lies within the working hours: always true while
    // workingHoursEnabled is off; otherwise the day's schedule decides, false for a missing or
    // disabled day and for a day whose end is not after its start.
    virtual bool isWithinWorkingHours() const = 0;
};
