#pragma once

#include <QObject>

#include <functional>
#include <utility>

// A flag that another object owns and a settings page shows (silent mode, app-usage tracking): its
// value now and a way to hear of its changes, so that the page does not know the owner. An empty
// flag reads false and never changes.
class WatchedFlag {
public:
    WatchedFlag() = default;
    WatchedFlag(std::function<bool()> value,
                std::function<void(QObject* receiver, std::function<void()> changed)> watch)
        : m_value(std::move(value))
        , m_watch(std::move(watch)) {}

    // The owner's getter and change signal.
    template <typename Owner>
    static WatchedFlag of(Owner& owner, bool (Owner::*getter)() const, void (Owner::*changedSignal)()) {
        return WatchedFlag([&owner, getter] { return (owner.*getter)(); },
                           [&owner, changedSignal](QObject* receiver, std::function<void()> changed) {
                               QObject::connect(&owner, changedSignal, receiver, std::move(changed));
                           });
    }

    bool value() const { return m_value && m_value(); }
    // Calls `changed` after every change, for as long as `receiver` lives.
    void watch(QObject* receiver, std::function<void()> changed) const {
        if (m_watch) {
            m_watch(receiver, std::move(changed));
        }
    }

private:
    std::function<bool()> m_value;
    std::function<void(QObject* receiver, std::function<void()> changed)> m_watch;
};
