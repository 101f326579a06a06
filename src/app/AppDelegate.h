#pragma once

#include <QObject>

class Notifier;
class UpdateService;

// The launch-time work of the application: it lives in the tray only (no main window, no taskbar
// entry, closing a window never ends it), starts the updater and asks once whether notifications
// can be shown.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    explicit AppDelegate(Notifier& notificationService, UpdateService& updateService,
                         QObject* parent = nullptr);

    UpdateService& updateService() const { return m_updateService; }

    // Run once, when the event loop has started.
    void applicationDidFinishLaunching();
    // Quitting does no work of its own: a timer running in ClickUp keeps running.
    void applicationWillTerminate() {}
    // The user's update check.
    void checkForUpdates();

private:
    Notifier& m_notificationService;
    UpdateService& m_updateService;
};
