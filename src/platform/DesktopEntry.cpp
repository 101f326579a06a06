#include "platform/DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QStandardPaths>

namespace {
QStringList applicationFolders() {
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

// Every desktop file of the applications folders by id, the user's own first; built once.
const QHash<QString, QString>& desktopFilesById() {
    static QMutex mutex;
    static QHash<QString, QString> files;
    static bool built = false;
    QMutexLocker lock(&mutex);
    if (!built) {
        built = true;
        for (const QString& folder : applicationFolders()) {
            QDir dir(folder);
            const QStringList names = dir.entryList({QStringLiteral("*.desktop")}, QDir::Files);
            for (const QString& name : names) {
                const QString id = name.chopped(8);
                if (!files.contains(id)) {
                    files.insert(id, dir.filePath(name));
                }
            }
        }
    }
    return files;
}
} // namespace

std::optional<DesktopEntry> DesktopEntry::read(const QString& path, const QString& id) {
    QFile file(path);
    if (file.size() > 1024 * 1024 || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return std::nullopt;
    }
    const QString language = QLocale().name();                  // de_DE
    const QString shortLanguage = language.section(u'_', 0, 0); // de
    DesktopEntry entry;
    entry.id = id;
    QString localizedName;
    QString shortLocalizedName;
    bool inEntry = false;
    bool sawEntry = false;
    bool isApplication = true;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            sawEntry = sawEntry || inEntry;
            continue;
        }
        if (!inEntry || line.startsWith(u'#')) {
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0) {
            continue;
        }
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("Name")) {
            entry.name = value;
        } else if (key == QStringLiteral("Name[%1]").arg(language)) {
            localizedName = value;
        } else if (key == QStringLiteral("Name[%1]").arg(shortLanguage)) {
            shortLocalizedName = value;
        } else if (key == QLatin1String("Icon")) {
            entry.icon = value;
        } else if (key == QLatin1String("StartupWMClass")) {
            entry.startupWMClass = value;
        } else if (key == QLatin1String("Type")) {
            isApplication = value == QLatin1String("Application");
        }
    }
    if (!sawEntry || !isApplication) {
        return std::nullopt;
    }
    if (!localizedName.isEmpty()) {
        entry.name = localizedName;
    } else if (!shortLocalizedName.isEmpty()) {
        entry.name = shortLocalizedName;
    }
    return entry;
}

std::optional<DesktopEntry> DesktopEntry::find(const QString& id) {
    if (id.isEmpty() || id.contains(u'/')) {
        return std::nullopt;
    }
    const QHash<QString, QString>& files = desktopFilesById();
    if (const auto exact = files.constFind(id); exact != files.cend()) {
        return read(exact.value(), id);
    }
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (it.key().compare(id, Qt::CaseInsensitive) == 0) {
            return read(it.value(), it.key());
        }
    }
    return std::nullopt;
}

std::optional<DesktopEntry> DesktopEntry::findByWindowClass(const QString& windowClass) {
    if (windowClass.isEmpty()) {
        return std::nullopt;
    }
    const QHash<QString, QString>& files = desktopFilesById();
    std::optional<DesktopEntry> byFileName;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const bool nameMatches = it.key().compare(windowClass, Qt::CaseInsensitive) == 0 ||
                                 it.key().section(u'.', -1).compare(windowClass, Qt::CaseInsensitive) == 0;
        std::optional<DesktopEntry> entry = read(it.value(), it.key());
        if (!entry) {
            continue;
        }
        if (entry->startupWMClass.compare(windowClass, Qt::CaseInsensitive) == 0) {
            return entry;
        }
        if (nameMatches && !byFileName) {
            byFileName = std::move(entry);
        }
    }
    return byFileName;
}
