#pragma once

#include <QString>
#include <QStringList>

// The application's icon as other programs find it: by its icon-theme name "pendlow" (the name the
// desktop file gives, installed by `make install` into hicolor), or, where it is not installed (a
// build run from its folder), as a file: a PNG drawn from our own drawing (":/icons/pendlow.svg")
// into the cache folder.
class ApplicationIcon {
public:
    static inline const QString themeName = QStringLiteral("pendlow");
    static constexpr int fileSize = 128;

    // The installed icon's file, searched in icons/hicolor/*/apps/ and pixmaps/ of the XDG data
    // folders ($XDG_DATA_HOME, then $XDG_DATA_DIRS); empty when none holds it.
    static QString installedFile();
    // What a notification names as its icon: themeName when installed, else the file URL of the
    // cached PNG ("file:///..."), else nothing (the cache cannot be written).
    static QString notificationIcon();
    // The cached PNG, written when missing; empty when it cannot be written.
    static QString cachedFile();

    // $XDG_DATA_HOME followed by $XDG_DATA_DIRS (default /usr/local/share:/usr/share).
    static QStringList dataFolders();
};
