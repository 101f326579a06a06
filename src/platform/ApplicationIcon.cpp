#include "platform/ApplicationIcon.h"

#include "core/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QUrl>

namespace {
const QString drawing = QStringLiteral(":/icons/pendlow.svg");
const QStringList extensions{QStringLiteral("svg"), QStringLiteral("png"), QStringLiteral("xpm")};
} // namespace

QStringList ApplicationIcon::dataFolders() {
    QStringList folders;
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (home.isEmpty()) {
        home = QDir::homePath() + QStringLiteral("/.local/share");
    }
    folders << home;
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty()) {
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    }
    for (const QString& dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        folders << dir;
    }
    return folders;
}

QString ApplicationIcon::installedFile() {
    for (const QString& folder : dataFolders()) {
        const QDir hicolor(folder + QStringLiteral("/icons/hicolor"));
        const QStringList sizes = hicolor.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& size : sizes) {
            for (const QString& extension : extensions) {
                const QString file = hicolor.filePath(size + QStringLiteral("/apps/") + themeName +
                                                      QLatin1Char('.') + extension);
                if (QFileInfo(file).isFile()) {
                    return file;
                }
            }
        }
        for (const QString& extension : extensions) {
            const QString file =
                folder + QStringLiteral("/pixmaps/") + themeName + QLatin1Char('.') + extension;
            if (QFileInfo(file).isFile()) {
                return file;
            }
        }
    }
    return {};
}

QString ApplicationIcon::cachedFile() {
    const QString folder = AppPaths::cacheFolder(QStringLiteral("icons"));
    if (folder.isEmpty()) {
        return {};
    }
    const QString path = QDir(folder).filePath(themeName + QStringLiteral(".png"));
    if (QFileInfo(path).isFile()) {
        return path;
    }
    QSvgRenderer renderer(drawing);
    if (!renderer.isValid()) {
        return {};
    }
    QImage image(fileSize, fileSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        return {};
    }
    return path;
}

QString ApplicationIcon::notificationIcon() {
    if (!installedFile().isEmpty()) {
        return themeName;
    }
    const QString file = cachedFile();
    return file.isEmpty() ? QString() : QUrl::fromLocalFile(file).toString();
}
