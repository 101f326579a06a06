#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QString>

// The pendlow-web helper of this build: it sits next to pendlow at the top of the build directory,
// one level above the test executables.
inline QString builtWebHelper() {
    return QDir::cleanPath(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../pendlow-web")));
}
