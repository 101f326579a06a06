#pragma once

#include <QString>
#include <QUrl>

// One release offered by an update feed.
struct AppcastItem {
    QString title;
    // The release's version ("sparkle:version"), or its display version when the feed gives only that.
    QString versionString;
    // The version to show ("sparkle:shortVersionString"), or versionString when the feed gives none.
    QString displayVersionString;
    // Where the user gets the release: the item's link, else its enclosure's address, else the feed's
    // link; resolved against the feed's address. May be of any scheme: check before opening it.
    QUrl downloadPage;
};
