#include "app/AppDelegate.h"

#include "core/Log.h"
#include "services/alerts/Notifier.h"
#include "services/updates/UpdateService.h"

#include <QApplication>

namespace {
// The answer is not used: without a notification server, notifications simply show nothing. The
// service prints its own line when the server cannot be asked.
QCoro::Task<> askNotificationPermission(Notifier& notificationService) {
    try {
        co_await notificationService.requestPermission();
    } catch (const std::exception& error) {
        Log::error(QStringLiteral("Notification permission request failed"), Log::Category::notification,
                   error);
    }
}
} // namespace

AppDelegate::AppDelegate(Notifier& notificationService, UpdateService& updateService, QObject* parent)
    : QObject(parent)
    , m_notificationService(notificationService)
    , m_updateService(updateService) {}

void AppDelegate::applicationDidFinishLaunching() {
    // A tray application: closing a window never ends it, and it maps no main window, so the
    // desktop shows no taskbar entry for it.
    QApplication::setQuitOnLastWindowClosed(false);
    m_updateService.startUpdater();
    askNotificationPermission(m_notificationService);
}

void AppDelegate::checkForUpdates() {
    m_updateService.checkForUpdatesManually();
}
