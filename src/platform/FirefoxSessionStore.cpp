#include "platform/FirefoxSessionStore.h"

#include "platform/BrowserWindowTitle.h"
#include "platform/WorkerRead.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <lz4.h>

#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
constexpr char magic[] = "mozLz40"; // followed by its terminating zero: 8 bytes
constexpr qsizetype magicBytes = 8;
constexpr qsizetype headerBytes = magicBytes + 4;

struct IniSection {
    QString name;
    QHash<QString, QString> values;
};

QList<IniSection> readIni(const QString& path) {
    QFile file(path);
    QList<IniSection> sections;
    if (file.size() > 1024 * 1024 || !file.open(QIODevice::ReadOnly)) {
        return sections;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) {
            continue;
        }
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            sections.append(IniSection{line.mid(1, line.size() - 2), {}});
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0 && !sections.isEmpty()) {
            sections.last().values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
        }
    }
    return sections;
}

QString resolve(const QString& folder, const QString& path, bool relative) {
    return relative ? QDir(folder).filePath(path) : path;
}

int oneBasedIndex(const QJsonObject& object, const QString& key, qsizetype count) {
    // Firefox counts from 1; a missing or odd index means the first.
    const int index = object.value(key).toInt(1);
    return index >= 1 && index <= count ? index - 1 : 0;
}

std::optional<BrowserTab> selectedTab(const QJsonObject& window) {
    const QJsonArray tabs = window.value(u"tabs"_s).toArray();
    if (tabs.isEmpty()) {
        return std::nullopt;
    }
    const QJsonObject tab = tabs.at(oneBasedIndex(window, u"selected"_s, tabs.size())).toObject();
    const QJsonArray entries = tab.value(u"entries"_s).toArray();
    if (entries.isEmpty()) {
        return std::nullopt;
    }
    const QJsonObject entry = entries.at(oneBasedIndex(tab, u"index"_s, entries.size())).toObject();
    const QString url = entry.value(u"url"_s).toString();
    if (url.isEmpty()) {
        return std::nullopt;
    }
    return BrowserTab{url, entry.value(u"title"_s).toString(), QString()};
}
} // namespace

FirefoxSessionStore::FirefoxSessionStore(QStringList firefoxFolders)
    : m_folders(std::move(firefoxFolders)) {}

QString FirefoxSessionStore::browserName() const {
    return u"Firefox"_s;
}

QStringList FirefoxSessionStore::defaultFolders() {
    const QString home = QDir::homePath();
    return {home + u"/.mozilla/firefox"_s, home + u"/snap/firefox/common/.mozilla/firefox"_s,
            home + u"/.var/app/org.mozilla.firefox/.mozilla/firefox"_s};
}

std::optional<QString> FirefoxSessionStore::profileFolder(const QString& firefoxFolder) {
    const QList<IniSection> sections = readIni(QDir(firefoxFolder).filePath(u"profiles.ini"_s));
    std::optional<QString> marked;
    std::optional<QString> first;
    for (const IniSection& section : sections) {
        if (section.name.startsWith(u"Install"_s)) {
            const QString path = section.values.value(u"Default"_s);
            if (!path.isEmpty()) {
                // Install sections name the profile relative to the folder.
                return resolve(firefoxFolder, path, true);
            }
        } else if (section.name.startsWith(u"Profile"_s)) {
            const QString path = section.values.value(u"Path"_s);
            if (path.isEmpty()) {
                continue;
            }
            const QString folder =
                resolve(firefoxFolder, path, section.values.value(u"IsRelative"_s, u"1"_s) == u"1"_s);
            if (!first) {
                first = folder;
            }
            if (!marked && section.values.value(u"Default"_s) == u"1"_s) {
                marked = folder;
            }
        }
    }
    return marked ? marked : first;
}

std::optional<QByteArray> FirefoxSessionStore::decompress(const QByteArray& file) {
    if (file.size() < headerBytes || std::memcmp(file.constData(), magic, magicBytes) != 0) {
        return std::nullopt;
    }
    const auto* size = reinterpret_cast<const unsigned char*>(file.constData() + magicBytes);
    const quint32 decodedBytes =
        quint32(size[0]) | (quint32(size[1]) << 8) | (quint32(size[2]) << 16) | (quint32(size[3]) << 24);
    if (decodedBytes == 0 || decodedBytes > maxDecodedBytes) {
        return std::nullopt;
    }
    QByteArray decoded(qsizetype(decodedBytes), Qt::Uninitialized);
    const int written = LZ4_decompress_safe(file.constData() + headerBytes, decoded.data(),
                                            int(file.size() - headerBytes), int(decodedBytes));
    // A file cut off while it was written decodes to less than it announced, or not at all.
    if (written != int(decodedBytes)) {
        return std::nullopt;
    }
    return decoded;
}

BrowserTab FirefoxSessionStore::tabFromSession(const QByteArray& json, const QString& windowTitle) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return BrowserTab::failure(u"Firefox's session file could not be read"_s);
    }
    const QJsonArray windows = document.object().value(u"windows"_s).toArray();
    if (windows.isEmpty()) {
        return BrowserTab::failure(u"Firefox has no open window"_s);
    }
    if (windowTitle.isEmpty()) {
        const QJsonObject front =
            windows.at(oneBasedIndex(document.object(), u"selectedWindow"_s, windows.size())).toObject();
        if (std::optional<BrowserTab> tab = selectedTab(front)) {
            return *tab;
        }
        return BrowserTab::failure(u"Firefox's front window shows no page"_s);
    }
    for (const QJsonValue& window : windows) {
        const std::optional<BrowserTab> tab = selectedTab(window.toObject());
        if (tab && browserwindowtitle::shows(windowTitle, tab->title, *tab->url)) {
            return *tab;
        }
    }
    return BrowserTab::failure(u"Firefox has not saved that tab yet"_s);
}

BrowserTab FirefoxSessionStore::readActiveTab(const QStringList& firefoxFolders, const QString& windowTitle) {
    bool anyProfile = false;
    for (const QString& folder : firefoxFolders) {
        const std::optional<QString> profile = profileFolder(folder);
        if (!profile) {
            continue;
        }
        anyProfile = true;
        const QString path = QDir(*profile).filePath(u"sessionstore-backups/recovery.jsonlz4"_s);
        QFile file(path);
        if (!file.exists()) {
            continue;
        }
        if (file.size() > maxFileBytes || !file.open(QIODevice::ReadOnly)) {
            return BrowserTab::failure(u"Firefox's session file could not be read"_s);
        }
        const std::optional<QByteArray> json = decompress(file.readAll());
        if (!json) {
            return BrowserTab::failure(u"Firefox's session file could not be read"_s);
        }
        return tabFromSession(*json, windowTitle);
    }
    return BrowserTab::failure(anyProfile ? u"Firefox is not running (no session file)"_s
                                          : u"No Firefox profile found"_s);
}

QCoro::Task<BrowserTab> FirefoxSessionStore::activeTab(QString windowTitle) {
    std::function<BrowserTab()> read = [folders = m_folders, windowTitle] {
        return readActiveTab(folders, windowTitle);
    };
    const BrowserTab tab = co_await WorkerRead::tab(std::move(read));
    co_return tab;
}
