#pragma once

#include <QObject>

class AppUsageTrackingService;
class SettingsStore;

// The app-usage switch: the setting "isAppUsageTrackingEnabled", the flag the popover and the settings
// read, and the tracker it starts and stops. GUI thread only.
class AppUsageSwitch : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool active READ isActive NOTIFY activeChanged)

public:
    explicit AppUsageSwitch(SettingsStore& settings, QObject* parent = nullptr);

    // Mirrors "isAppUsageTrackingEnabled" as of the last update() or switch.
    bool isActive() const { return m_active; }
    // The tracker, or none when the application runs without one.
    AppUsageTrackingService* tracker() const { return m_tracker; }
    void setTracker(AppUsageTrackingService* tracker);

    // Switches tracking on or off. Nothing happens when "isAppUsageTrackingEnabled" already has that
    // value. On: stores it, sets the flag and starts tracking (and the clean-up of old days);
    // window-title capture stays as the user set it. Off: stores it, clears the flag and stops the
    // tracker, which saves.
    void setEnabled(bool enabled);
    // When "isAppUsageTrackingEnabled" is on: starts the tracker (nothing when it runs already) and
    // removes the usage days older than "appUsageRetentionDays".
    void startIfEnabled();
    // The flag follows the setting again.
    void update();

Q_SIGNALS:
    void activeChanged();
    // Another tracker was handed in.
    void trackerChanged();

private:
    void setActive(bool active);

    SettingsStore& m_settings;
    AppUsageTrackingService* m_tracker = nullptr;
    bool m_active = false;
};
