#include "services/alerts/SilentMode.h"

#include "core/Clock.h"
#include "core/Observable.h"
#include "core/SettingsStore.h"
#include "services/alerts/Notifier.h"

#include <QPointer>

#include <algorithm>
#include <cmath>

namespace {
// Longest silent mode taken as given (ten years); longer ones are cut to it.
constexpr double longestSilentModeSeconds = 10.0 * 366 * 24 * 3600;
} // namespace

SilentMode::SilentMode(SettingsStore& settings, Notifier& notifications, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_notifications(notifications) {}

std::optional<QDateTime> SilentMode::end() const {
    return m_settings.silentModeEnd();
}

void SilentMode::setActive(bool active) {
    setIfChanged(m_active, active, this, &SilentMode::activeChanged);
}

void SilentMode::update() {
    const std::optional<QDateTime> stored = m_settings.silentModeEnd();
    setActive(stored && Clock::now() < *stored);
}

QCoro::Task<> SilentMode::enable(double seconds) {
    QPointer<SilentMode> self(this);
    const double bounded = std::isfinite(seconds)
                               ? std::clamp(seconds, -longestSilentModeSeconds, longestSilentModeSeconds)
                               : 0.0;
    const std::optional<QDateTime> end = Clock::now().addMSecs(qint64(bounded * 1000));
    co_await store(end);
    if (!self) {
        co_return;
    }
    if (const std::optional<QDateTime> stored = m_settings.silentModeEnd()) {
        co_await m_notifications.sendSilentModeActivated(*stored);
    }
}

QCoro::Task<> SilentMode::disable() {
    co_await store(std::nullopt);
}

QCoro::Task<> SilentMode::store(std::optional<QDateTime> end) {
    QPointer<SilentMode> self(this);
    m_settings.setSilentModeEnd(end);
    setActive(end.has_value());
    emit endChanged();
    if (m_afterChange) {
        co_await m_afterChange();
        if (!self) {
            co_return;
        }
    }
    update();
}
