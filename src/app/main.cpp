#include "app/PendlowApp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pendlow"));
    QApplication::setDesktopFileName(QStringLiteral("pendlow"));

    PendlowApp pendlow;
    pendlow.launch();
    return app.exec();
}
