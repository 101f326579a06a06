#pragma once

#include <QObject>

class NotificationServiceProtocol;

// The launch-time work of the application: it lives in the tray only (no main window, no taskbar
// entry, closing a window never ends it) and asks once whether notifications can be shown.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    explicit AppDelegate(NotificationServiceProtocol& notificationService, QObject* parent = nullptr);

    // Run once, when the event loop has started.
    void applicationDidFinishLaunching();
    // Quitting does no work of its own: a timer running in ClickUp keeps running.
    void applicationWillTerminate() {}

private:
    NotificationServiceProtocol& m_notificationService;
};
