#include "alerts/NotificationService.h"
#include "app/KeychainService.h"
#include "app/PendlowApp.h"
#include "app/UserDefaultsService.h"
#include "clickup/ClickUpAPIService.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pendlow"));
    QApplication::setDesktopFileName(QStringLiteral("pendlow"));
    // A tray application: no main window, and closing a window never ends the process.
    QApplication::setQuitOnLastWindowClosed(false);

    // The start-up order: the secret store, the one ClickUp client on it, the settings store, the
    // notification service, then the application with its root state.
    KeychainService& keychain = KeychainService::shared();
    ClickUpAPIService clickUpAPI(keychain, PendlowApp::clickUpBaseUrl());
    UserDefaultsService& settings = UserDefaultsService::shared();
    NotificationService& notifications = NotificationService::shared();

    PendlowApp pendlow(PendlowApp::Services{keychain, clickUpAPI, settings, notifications});
    pendlow.launch();
    return app.exec();
}
