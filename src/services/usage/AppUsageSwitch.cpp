#include "services/usage/AppUsageSwitch.h"

#include "core/Observable.h"
#include "core/SettingsStore.h"
#include "services/usage/AppUsageTrackingService.h"

AppUsageSwitch::AppUsageSwitch(SettingsStore& settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings) {}

void AppUsageSwitch::setActive(bool active) {
    setIfChanged(m_active, active, this, &AppUsageSwitch::activeChanged);
}

void AppUsageSwitch::setTracker(AppUsageTrackingService* tracker) {
    setIfChanged(m_tracker, tracker, this, &AppUsageSwitch::trackerChanged);
}

void AppUsageSwitch::setEnabled(bool enabled) {
    if (m_settings.isAppUsageTrackingEnabled() == enabled) {
        return;
    }
    m_settings.setIsAppUsageTrackingEnabled(enabled);
    setActive(enabled);
    if (enabled) {
        startIfEnabled();
    } else if (m_tracker) {
        m_tracker->stopTracking();
    }
}

void AppUsageSwitch::startIfEnabled() {
    if (!m_settings.isAppUsageTrackingEnabled() || !m_tracker) {
        return;
    }
    m_tracker->startTracking();
    m_tracker->cleanupOldData(m_settings.appUsageRetentionDays());
}

void AppUsageSwitch::update() {
    setActive(m_settings.isAppUsageTrackingEnabled());
}
