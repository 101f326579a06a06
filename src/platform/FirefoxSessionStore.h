#pragma once

#include "platform/BrowserTabSource.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The active tab of a running Firefox, read from the session file it keeps in its profile
// ("sessionstore-backups/recovery.jsonlz4": "mozLz40\0", the decompressed size, then one LZ4 block of
// JSON). Firefox rewrites that file about every 15 s, so a tab opened just now may not be in it yet.
// The profile is the one profiles.ini names as the default. The file is read and decoded on a
// worker thread; private windows are never in it.
class FirefoxSessionStore : public BrowserTabSource {
public:
    // Files above this size are not read.
    static constexpr qint64 maxFileBytes = 32LL * 1024 * 1024;
    static constexpr qint64 maxDecodedBytes = 128LL * 1024 * 1024;

    // The folders that may hold profiles.ini (the usual one, the snap's and the Flatpak's), or the
    // given folders (tests).
    explicit FirefoxSessionStore(QStringList firefoxFolders = defaultFolders());

    QString browserName() const override;
    QCoro::Task<BrowserTab> activeTab(QString windowTitle) override;

    static QStringList defaultFolders();
    // The profile folder profiles.ini in that folder names: the default of an install section, else
    // the profile marked Default=1, else the first profile. None without a usable profiles.ini.
    static std::optional<QString> profileFolder(const QString& firefoxFolder);
    // The JSON inside a "mozLz40" file; none for anything that is not one whole such file.
    static std::optional<QByteArray> decompress(const QByteArray& file);
    // The selected tab of the window whose title shows it (see BrowserTabSource), from the session
    // JSON.
    static BrowserTab tabFromSession(const QByteArray& json, const QString& windowTitle);
    // Reads the session file of the folder's default profile (blocking; the worker thread's part).
    static BrowserTab readActiveTab(const QStringList& firefoxFolders, const QString& windowTitle);

private:
    QStringList m_folders;
};
