#include "app/PendlowApp.h"
#include "core/AppPaths.h"
#include "core/Log.h"
#include "core/PrivateFile.h"
#include "platform/TerminationSignals.h"

#include <QApplication>

#include <QLockFile>
#include <csignal>

int main(int argc, char* argv[]) {
    // Qt's xcb backend flushes its backing stores through MIT-SHM, and the X server answers every such
    // flush with a completion event, so each repaint of the tray icon (once a second with a running
    // timer) woke the process a second time just to read that answer. Plain PutImage requests of a
    // tray icon's few pixels cost nothing noticeable and are not answered. A value the user set wins.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pendlow"));
    QApplication::setDesktopFileName(QStringLiteral("pendlow"));

    // One Pendlow per data folder (normally one per user): two would record usage into the same day
    // file. The lock lives in the data folder itself, so every start that would write there meets it,
    // whatever its session's runtime folder.
    const QString dataRoot = AppPaths::dataRoot();
    if (!PrivateFile::ensureFolder(dataRoot)) {
        Log::console(
            QStringLiteral("Pendlow cannot create its data folder %1; this start ends here.").arg(dataRoot),
            Log::Stream::standardError);
        return 1;
    }
    QLockFile instanceLock(dataRoot + QStringLiteral("/pendlow.lock"));
    instanceLock.setStaleLockTime(0);
    if (!instanceLock.tryLock(0) && instanceLock.error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host;
        QString name;
        instanceLock.getLockInfo(&pid, &host, &name);
        Log::console(
            QStringLiteral("Pendlow is already running (process %1); this start ends here.").arg(pid),
            Log::Stream::standardError);
        return 0;
    }
    if (instanceLock.error() != QLockFile::NoError) {
        // A read-only data folder: no instance can write there, so none is kept out; the saves say why.
        Log::console(
            QStringLiteral("Pendlow cannot lock its data folder %1; it runs without the lock.").arg(dataRoot),
            Log::Stream::standardError);
    }

    // SIGTERM, SIGINT and SIGHUP (the session's terminal or login going away) quit the event loop
    // normally, so the usage day is saved first.
    TerminationSignals terminationSignals({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&terminationSignals, &TerminationSignals::received, &app, &QCoreApplication::quit);
    PendlowApp pendlow;
    pendlow.launch();
    return app.exec();
}
