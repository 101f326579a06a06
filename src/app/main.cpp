#include "app/PendlowApp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pendlow"));
    QApplication::setDesktopFileName(QStringLiteral("pendlow"));
    // A tray application: closing a window never ends the process.
    QApplication::setQuitOnLastWindowClosed(false);

    PendlowApp pendlow;
    pendlow.launch();
    return app.exec();
}
