#pragma once

#include "platform/AppcastItem.h"

#include <QByteArray>
#include <QList>
#include <QUrl>

#include <optional>

// Reads an update feed: an RSS 2.0 document ("rss" root, one "channel") whose "item"s describe
// releases in the appcast conventions, with the namespace
// "http://www.andymatuschak.org/xml-namespaces/sparkle" (prefix "sparkle" by custom):
//
//   <item>
//     <title>Pendlow 1.2.0</title>
//     <link>https://example.org/pendlow/download</link>         (the download page)
//     <sparkle:version>120</sparkle:version>                     (or an enclosure attribute)
//     <sparkle:shortVersionString>1.2.0</sparkle:shortVersionString> (or an enclosure attribute)
//     <enclosure url="https://example.org/pendlow-1.2.0.tar.gz" sparkle:version="120"
//                sparkle:shortVersionString="1.2.0" sparkle:os="linux" length="..." type="..."/>
//   </item>
//
// An item counts only with a version that VersionNumber accepts, the display version falling back to
// the version and the other way round. Items on a channel of their own ("sparkle:channel", such as
// beta releases) and items whose enclosure names another system in "sparkle:os" are left out.
class AppcastParser {
public:
    static const QString sparkleNamespace;

    // The feed's usable items in document order. Throws UpdateError (invalidFeed) when the data is not
    // well-formed XML or not an RSS document with a channel.
    static QList<AppcastItem> parse(const QByteArray& data, const QUrl& feedUrl);

    // The item with the highest display version; the first of equals. None for no items.
    static std::optional<AppcastItem> newestItem(const QList<AppcastItem>& items);
};
