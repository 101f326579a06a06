#pragma once

#include <QString>
#include <QStringList>

// The one catalogue of the applications Pendlow knows by kind: browsers, e-mail clients, editors,
// terminals, password managers and file managers. Usage records name an application by its own Linux
// id (its desktop-file id, else its window class); the catalogue recognises an application under any
// of the names it goes by (desktop-file ids, GTK ids, window classes, compared without case), and also
// under the reverse-domain ids that earlier versions stored, so old day files classify alike.
class AppCatalogue {
public:
    enum class Kind { browser, mail, editor, terminal, passwordManager, fileManager, other };
    // Where a browser's address comes from on this system.
    enum class AddressSource {
        none,
        // The profile's session store (sessionstore-backups/recovery.jsonlz4).
        firefoxSession,
        // The profile's session files (Sessions/Session_*), or the DevTools port where one is open.
        chromiumSession,
        // Only a system without these browsers gives it (earlier versions' records).
        notOnLinux
    };

    struct App {
        QString id;   // the application's own id, as the records of this version store it
        QString name; // its name for the user
        Kind kind = Kind::other;
        AddressSource addressSource = AddressSource::none;
        // Among the browsers the reports count (every browser but those of earlier versions' records
        // that the reports never listed).
        bool reportedBrowser = true;
        // Known only from earlier versions' records (reverse-domain ids of another system): no Linux
        // window carries its name.
        bool earlierRecordsOnly = false;
        QStringList otherNames; // desktop-file ids, window classes, earlier versions' ids
    };

    // The known application named so (any of its names, any case, with or without ".desktop"), or null.
    static const App* find(const QString& name);
    static bool is(const QString& name, Kind kind);
    // The names a known application goes by, its own id first; just the name for an unknown one.
    static QStringList namesOf(const QString& name);
    static const QList<App>& all();
};
