#pragma once

#include <QString>

#include <optional>

// The few keys of an application's desktop file (freedesktop Desktop Entry) that Pendlow reads:
// the name shown to the user, the icon name and the window class its windows carry.
struct DesktopEntry {
    // "firefox" for firefox.desktop.
    QString id;
    QString name;
    QString icon;
    QString startupWMClass;

    // The desktop file "<id>.desktop" in the applications folders of the XDG data directories
    // (the user's first); none when there is none or it is not an application entry.
    static std::optional<DesktopEntry> find(const QString& id);
    // The application whose StartupWMClass or file name matches a window class (case-insensitively).
    static std::optional<DesktopEntry> findByWindowClass(const QString& windowClass);
    // Reads a desktop file; none when it cannot be read or holds no [Desktop Entry] group.
    static std::optional<DesktopEntry> read(const QString& path, const QString& id);
};
