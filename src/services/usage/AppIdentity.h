#pragma once

#include <QString>
#include <QStringList>

// The one identifier a usage record keeps for an application. The tables of known applications
// (browsers, editors, terminals, e-mail clients, always-redacted apps, colours) are keyed by the
// reverse-domain ids those applications carry on macOS; a Linux application that has such a
// counterpart is recorded under that id (Google Chrome and the other Chromium browsers, Firefox,
// Visual Studio Code, Slack, Bitwarden, 1Password, ...), so the tables apply to it. Any other
// application is recorded under its desktop-file id, or, without one, its window class.
class AppIdentity {
public:
    // The id for an application seen as these Linux names (any may be empty): its desktop-file id
    // ("firefox", "org.gnome.Terminal"), its GTK application id, and its WM_CLASS instance and class.
    // "unknown" when all are empty.
    static QString bundleIdentifier(const QString& desktopFileId, const QString& gtkApplicationId,
                                    const QString& wmClassInstance, const QString& wmClassClass);
    // The Linux desktop-file ids under which an application recorded with that id may be installed,
    // most likely first (the id itself included), for finding its icon.
    static QStringList desktopFileIds(const QString& bundleIdentifier);
};
