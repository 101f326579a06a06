#pragma once

#include <QCoroTask>
#include <QDateTime>
#include <QObject>

#include <functional>
#include <optional>

class Notifier;
class SettingsStore;

// Silent mode: while it lasts no reminder or warning is shown. Its end is the setting
// "silentModeEnd"; isActive() is whether that end lay after now when it was last looked at (at a
// start, an end, or update()). GUI thread only; no operation throws.
class SilentMode : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool active READ isActive NOTIFY activeChanged)

public:
    // What runs once a new end is stored, before the end is looked at again (the root state reloads
    // its configuration).
    using AfterChange = std::function<QCoro::Task<>()>;

    SilentMode(SettingsStore& settings, Notifier& notifications, QObject* parent = nullptr);

    bool isActive() const { return m_active; }
    // The stored end, or none.
    std::optional<QDateTime> end() const;

    void setAfterChange(AfterChange afterChange) { m_afterChange = std::move(afterChange); }

    // Silent mode until now plus the seconds (at most ten years either way; not a number counts as
    // 0): stored, flagged, the after-change step run, the end looked at again, and the silent-mode
    // notification posted.
    QCoro::Task<> enable(double seconds);
    // Ends silent mode without a notification.
    QCoro::Task<> disable();
    // isActive() becomes whether a stored end lies after now.
    void update();

Q_SIGNALS:
    void activeChanged();
    // A new end was stored (or the end removed).
    void endChanged();

private:
    // Stores the end (none: off), shows it at once, runs the step after a change, then update().
    QCoro::Task<> store(std::optional<QDateTime> end);
    void setActive(bool active);

    SettingsStore& m_settings;
    Notifier& m_notifications;
    AfterChange m_afterChange;
    bool m_active = false;
};
