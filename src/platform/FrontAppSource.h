#pragma once

#include "platform/FrontWindow.h"

#include <QObject>
#include <QString>

#include <optional>

// Tells which window is in front, reports each change of the application in front, and reads window
// titles. The X11 implementation follows the root window's _NET_ACTIVE_WINDOW; tests use a fake.
class FrontAppSource : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~FrontAppSource() override = default;

    // Begins and ends reporting activated(); both may be called repeatedly.
    virtual void startObserving() = 0;
    virtual void stopObserving() = 0;
    // The window in front now; none when there is none, it is gone, or it belongs to this process.
    virtual std::optional<FrontWindow> frontmostWindow() = 0;
    // The window's title; none when it has none, it is empty or the window is gone.
    virtual std::optional<QString> windowTitle(quint32 windowId) = 0;
    // Whether window titles can be read at all on this desktop.
    virtual bool canReadWindowTitles() const = 0;

Q_SIGNALS:
    // Another application came to the front. Windows of this process are not reported.
    void activated(const FrontWindow& window);
};
