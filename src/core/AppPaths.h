#pragma once

#include <QString>

// Where Pendlow keeps its files on a freedesktop system.
class AppPaths {
public:
    // $XDG_CONFIG_HOME/Pendlow/Pendlow.conf: the settings file.
    static QString settingsFile();
    // $XDG_DATA_HOME/Pendlow: the root of the application's data (usage days, day plans, ...).
    static QString dataRoot();
    // A folder below the data root, created when missing; empty when it cannot be created.
    static QString dataFolder(const QString& name);
    // $XDG_CACHE_HOME/Pendlow/<name>, created when missing; empty when it cannot be created.
    static QString cacheFolder(const QString& name);
};
