#pragma once

#include <QString>
#include <QStringList>

// The one identifier a usage record keeps for an application: the application's own Linux id, its
// desktop-file id ("firefox-esr", "org.gnome.Terminal"), else its GTK application id, else its window
// class. What kind of application it is comes from AppCatalogue, which also knows the ids earlier
// versions stored.
class AppIdentity {
public:
    // The id for an application seen as these Linux names (any may be empty): its desktop-file id
    // ("firefox", "org.gnome.Terminal"), its GTK application id, and its WM_CLASS instance and class.
    // "unknown" when all are empty.
    static QString appId(const QString& desktopFileId, const QString& gtkApplicationId,
                         const QString& wmClassInstance, const QString& wmClassClass);
    // The Linux desktop-file ids under which an application recorded with that id may be installed
    // (the id itself included), for finding its icon; an earlier version's id leads to the Linux ones.
    static QStringList desktopFileIds(const QString& appId);
};
