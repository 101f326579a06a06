#pragma once

#include "core/SettingsStore.h"

#include <QObject>
#include <QVariant>

// The application's settings: one INI file (AppPaths::settingsFile() for the shared instance), one
// value per key. Nothing is cached here: every getter reads the file through QSettings, whose
// per-process cache makes a write through any QSettings on the same file visible to the next read.
// Safe to use from any thread. A setter that changes the stored value writes it to disk at once and
// emits settingChanged with the key.
//
// Stored forms: strings, numbers and booleans as INI text; string lists as QSettings lists;
// "workingHoursSchedule" as JSON text (an object with members "0" to "6", see WorkDaySchedule);
// "silentModeEnd" as ISO 8601 text with the UTC offset.
class UserDefaultsService : public QObject, public SettingsStore {
    Q_OBJECT

public:
    // Longest interval any setting may ask for: a day. Interval settings outside their range read as
    // their default.
    static constexpr int longestIntervalSeconds = 24 * 3600;

    // A store over the given INI file (tests give their own).
    explicit UserDefaultsService(const QString& fileName, QObject* parent = nullptr);

    // The process-wide store over AppPaths::settingsFile(), created on first use, never destroyed.
    static UserDefaultsService& shared();

    QString fileName() const;

    // Untyped access, for keys without a typed property ("selectedContentTab", "popoverHeight",
    // "SULastCheckTime"). value() gives defaultValue for a missing key. setValue() with an invalid
    // QVariant removes the key. Both writers emit settingChanged only when the stored value changes.
    QVariant value(const QString& key, const QVariant& defaultValue = {}) const;
    bool contains(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);

    QString teamId() const override;
    void setTeamId(const QString& value) override;
    QString toolsUrl() const override;
    void setToolsUrl(const QString& value) override;
    QString userKey() const override;
    void setUserKey(const QString& value) override;
    double toolsTokenExpiry() const override;
    void setToolsTokenExpiry(double value) override;
    QString n8nEndpoint() const override;
    void setN8nEndpoint(const QString& value) override;
    QString n8nPinnedCertificateSha256() const override;
    void setN8nPinnedCertificateSha256(const QString& value) override;
    QString openAIModel() const override;
    void setOpenAIModel(const QString& value) override;
    bool disableTimerWarning() const override;
    void setDisableTimerWarning(bool value) override;
    bool lightMode() const override;
    void setLightMode(bool value) override;
    bool useFloatingAlert() const override;
    void setUseFloatingAlert(bool value) override;
    bool useToastAlert() const override;
    void setUseToastAlert(bool value) override;
    bool useMenuBarPulsing() const override;
    void setUseMenuBarPulsing(bool value) override;
    int timerReminderInterval() const override;
    void setTimerReminderInterval(int value) override;
    int alertAutoDismissSeconds() const override;
    void setAlertAutoDismissSeconds(int value) override;
    bool showActiveTimerReminder() const override;
    void setShowActiveTimerReminder(bool value) override;
    int activeTimerReminderInterval() const override;
    void setActiveTimerReminderInterval(int value) override;
    bool workingHoursEnabled() const override;
    void setWorkingHoursEnabled(bool value) override;
    QMap<int, WorkDaySchedule> workingHoursSchedule() const override;
    void setWorkingHoursSchedule(const QMap<int, WorkDaySchedule>& value) override;
    std::optional<QDateTime> silentModeEnd() const override;
    void setSilentModeEnd(const std::optional<QDateTime>& value) override;
    bool isAppUsageTrackingEnabled() const override;
    void setIsAppUsageTrackingEnabled(bool value) override;
    bool isWindowTitleTrackingEnabled() const override;
    void setIsWindowTitleTrackingEnabled(bool value) override;
    bool isDeepContextEnabled() const override;
    void setIsDeepContextEnabled(bool value) override;
    bool showAppUsageInMenu() const override;
    void setShowAppUsageInMenu(bool value) override;
    int appUsageRetentionDays() const override;
    void setAppUsageRetentionDays(int value) override;
    int windowTitleCaptureInterval() const override;
    void setWindowTitleCaptureInterval(int value) override;
    int activityBlockGapMinutes() const override;
    void setActivityBlockGapMinutes(int value) override;
    QStringList excludedAppsFromTracking() const override;
    void setExcludedAppsFromTracking(const QStringList& value) override;
    QStringList privacyRedactionKeywords() const override;
    void setPrivacyRedactionKeywords(const QStringList& value) override;
    QStringList privacyAlwaysRedactApps() const override;
    void setPrivacyAlwaysRedactApps(const QStringList& value) override;
    bool useDefaultBrowser() const override;
    void setUseDefaultBrowser(bool value) override;
    int popupBrowserWidth() const override;
    void setPopupBrowserWidth(int value) override;
    int popupBrowserHeight() const override;
    void setPopupBrowserHeight(int value) override;
    bool debugLoggingEnabled() const override;
    void setDebugLoggingEnabled(bool value) override;
    bool isWithinWorkingHours() const override;

Q_SIGNALS:
    // A key's stored value was written with a different value, or removed.
    void settingChanged(const QString& key);

private:
    QString readString(const QString& key, const QString& absent) const;
    bool readBool(const QString& key, bool absent) const;
    int readInt(const QString& key, int absentOrZero) const;
    // An interval setting: the stored number when it lies in [lowest, highest], otherwise the
    // fallback (absent, 0, negative, too long for the timers, or no number at all).
    int readInterval(const QString& key, int fallback, int lowest, int highest) const;

    const QString m_fileName;
};
