#include "app/PendlowApp.h"
#include "core/AppPaths.h"
#include "platform/TerminationSignals.h"

#include <QApplication>

#include <QCryptographicHash>
#include <QLockFile>
#include <QStandardPaths>
#include <csignal>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pendlow"));
    QApplication::setDesktopFileName(QStringLiteral("pendlow"));

    // One Pendlow per data folder (normally one per user): two would record usage into the same day
    // file. The lock lives in the session's runtime folder, named after the data folder.
    QString runtimeFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtimeFolder.isEmpty()) {
        runtimeFolder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    }
    const QByteArray dataKey =
        QCryptographicHash::hash(AppPaths::dataRoot().toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    QLockFile instanceLock(runtimeFolder + QStringLiteral("/pendlow-") + QString::fromLatin1(dataKey) +
                           QStringLiteral(".lock"));
    instanceLock.setStaleLockTime(0);
    if (!instanceLock.tryLock(0)) {
        qint64 pid = 0;
        QString host;
        QString name;
        instanceLock.getLockInfo(&pid, &host, &name);
        std::fprintf(stderr, "Pendlow is already running (process %lld); this start ends here.\n",
                     static_cast<long long>(pid));
        return 0;
    }

    // SIGTERM and SIGINT quit the event loop normally, so the usage day is saved first.
    TerminationSignals terminationSignals({SIGTERM, SIGINT});
    QObject::connect(&terminationSignals, &TerminationSignals::received, &app, &QCoreApplication::quit);
    PendlowApp pendlow;
    pendlow.launch();
    return app.exec();
}
