#include <QApplication>
#include <QIcon>
#include <QSystemTrayIcon>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pendlow"));
    QApplication::setDesktopFileName(QStringLiteral("pendlow"));
    // A tray application: no main window, and closing a window never ends the process.
    QApplication::setQuitOnLastWindowClosed(false);

    QSystemTrayIcon tray(QIcon(QStringLiteral(":/icons/pendlow.svg")));
    tray.setToolTip(QStringLiteral("Pendlow"));
    // The tray host may appear after us: keep trying until it is there.
    QTimer waitForTray;
    QObject::connect(&waitForTray, &QTimer::timeout, &tray, [&] {
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            tray.show();
            waitForTray.stop();
        }
    });
    waitForTray.start(250);
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        tray.show();
        waitForTray.stop();
    }
    return app.exec();
}
