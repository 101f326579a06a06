#pragma once

#include "platform/BrowserTabSource.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// The tab of a running Chromium-family browser (Chromium, Chrome, Brave, Edge, Vivaldi, Opera), read
// from the session file of its profile ("Sessions/Session_*", in older versions "Current Session").
// That file is a log of commands: "SNSS", a version, then commands of a 16-bit size, a one-byte id
// and a payload; a tab's navigations are pickled (tab id, index, address, title). The browser appends
// to it a few seconds after a change, so a page opened just now may not be in it yet. The files are
// read on a worker thread, within a size limit, newest first; the tab is the one whose page title the
// front window shows. A browser started with a DevTools port answers through it first (live).
class ChromiumSessionFile : public BrowserTabSource {
public:
    // Files above this size are not read; at most this many of the newest files are looked at.
    static constexpr qint64 maxFileBytes = 32LL * 1024 * 1024;
    static constexpr int maxFiles = 12;

    // The browsers' configuration folders (each holds profiles, or is one, as Opera's is), or the
    // given folders (tests). live, when given, is asked first.
    explicit ChromiumSessionFile(QStringList browserFolders = defaultFolders(),
                                 std::unique_ptr<BrowserTabSource> live = nullptr);
    ~ChromiumSessionFile() override;

    QString browserName() const override;
    QCoro::Task<BrowserTab> activeTab(QString windowTitle) override;

    // The usual folders under $XDG_CONFIG_HOME, and those of the snap and Flatpak packages.
    static QStringList defaultFolders();
    // The session files of the folders' profiles, newest first, at most maxFiles.
    static QStringList sessionFiles(const QStringList& browserFolders);
    // The tab the window titled windowTitle shows, from one session file's bytes; with an empty title
    // the selected tab of the active window.
    static BrowserTab tabFromSession(const QByteArray& file, const QString& windowTitle);
    // Reads the folders' session files (blocking; the worker thread's part).
    static BrowserTab readActiveTab(const QStringList& browserFolders, const QString& windowTitle);

private:
    QStringList m_folders;
    std::unique_ptr<BrowserTabSource> m_live;
};
