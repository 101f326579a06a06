#include "core/AppPaths.h"

#include "core/PrivateFile.h"

#include <QDir>
#include <QStandardPaths>

QString AppPaths::settingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Pendlow/Pendlow.conf");
}

QString AppPaths::dataRoot() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Pendlow");
}

QString AppPaths::dataFolder(const QString& name) {
    const QString path = dataRoot() + QLatin1Char('/') + name;
    // The data hold window titles, addresses and plans: the folders are the user's alone.
    if (!PrivateFile::ensureFolder(path)) {
        return {};
    }
    return path;
}

QString AppPaths::cacheFolder(const QString& name) {
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                         QStringLiteral("/Pendlow/") + name;
    if (!QDir().mkpath(path)) {
        return {};
    }
    return path;
}
