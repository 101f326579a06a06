#include "platform/AppcastParser.h"

#include "platform/UpdateError.h"
#include "platform/VersionNumber.h"

#include <QXmlStreamReader>

const QString AppcastParser::sparkleNamespace =
    QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");

namespace {
// An item as written, before the fallbacks between its fields are applied.
struct RawItem {
    QString title;
    QString link;
    QString version;
    QString shortVersion;
    QString enclosureUrl;
    QString enclosureVersion;
    QString enclosureShortVersion;
    QString enclosureOs;
    bool hasEnclosure = false;
    bool onOwnChannel = false;
};

QString text(QXmlStreamReader& xml) {
    return xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
}

RawItem readItem(QXmlStreamReader& xml) {
    RawItem item;
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        const QStringView space = xml.namespaceUri();
        if (space.isEmpty() && name == u"title") {
            item.title = text(xml);
        } else if (space.isEmpty() && name == u"link") {
            item.link = text(xml);
        } else if (space.isEmpty() && name == u"enclosure" && !item.hasEnclosure) {
            item.hasEnclosure = true;
            const QXmlStreamAttributes attributes = xml.attributes();
            item.enclosureUrl = attributes.value(QLatin1String("url")).trimmed().toString();
            item.enclosureVersion =
                attributes.value(AppcastParser::sparkleNamespace, QLatin1String("version"))
                    .trimmed()
                    .toString();
            item.enclosureShortVersion =
                attributes.value(AppcastParser::sparkleNamespace, QLatin1String("shortVersionString"))
                    .trimmed()
                    .toString();
            item.enclosureOs =
                attributes.value(AppcastParser::sparkleNamespace, QLatin1String("os")).trimmed().toString();
            xml.skipCurrentElement();
        } else if (space == AppcastParser::sparkleNamespace && name == u"version") {
            item.version = text(xml);
        } else if (space == AppcastParser::sparkleNamespace && name == u"shortVersionString") {
            item.shortVersion = text(xml);
        } else if (space == AppcastParser::sparkleNamespace && name == u"channel") {
            item.onOwnChannel = true;
            xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
    return item;
}

QUrl resolved(const QUrl& feedUrl, const QString& reference) {
    const QUrl url(reference);
    return url.isValid() ? feedUrl.resolved(url) : QUrl();
}
} // namespace

QList<AppcastItem> AppcastParser::parse(const QByteArray& data, const QUrl& feedUrl) {
    QXmlStreamReader xml(data);
    if (!xml.readNextStartElement()) {
        throw UpdateError::invalidFeed(xml.hasError() ? xml.errorString()
                                                      : QStringLiteral("the document is empty"));
    }
    if (xml.name() != u"rss" || !xml.namespaceUri().isEmpty()) {
        throw UpdateError::invalidFeed(QStringLiteral("it is not an RSS feed"));
    }
    bool sawChannel = false;
    QString channelLink;
    QList<RawItem> rawItems;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"channel" || !xml.namespaceUri().isEmpty() || sawChannel) {
            xml.skipCurrentElement();
            continue;
        }
        sawChannel = true;
        while (xml.readNextStartElement()) {
            if (!xml.namespaceUri().isEmpty()) {
                xml.skipCurrentElement();
            } else if (xml.name() == u"link") {
                channelLink = text(xml);
            } else if (xml.name() == u"item") {
                rawItems.append(readItem(xml));
            } else {
                xml.skipCurrentElement();
            }
        }
    }
    // Read to the end, so that a broken tail counts as a broken feed.
    while (!xml.atEnd()) {
        xml.readNext();
    }
    if (xml.hasError()) {
        throw UpdateError::invalidFeed(xml.errorString());
    }
    if (!sawChannel) {
        throw UpdateError::invalidFeed(QStringLiteral("the feed has no channel"));
    }

    QList<AppcastItem> items;
    for (const RawItem& raw : std::as_const(rawItems)) {
        if (raw.onOwnChannel) {
            continue;
        }
        if (!raw.enclosureOs.isEmpty() && raw.enclosureOs.compare(u"linux", Qt::CaseInsensitive) != 0) {
            continue;
        }
        AppcastItem item;
        item.title = raw.title;
        item.versionString = !raw.version.isEmpty() ? raw.version : raw.enclosureVersion;
        item.displayVersionString =
            !raw.shortVersion.isEmpty() ? raw.shortVersion : raw.enclosureShortVersion;
        if (item.versionString.isEmpty()) {
            item.versionString = item.displayVersionString;
        }
        if (item.displayVersionString.isEmpty()) {
            item.displayVersionString = item.versionString;
        }
        if (!VersionNumber::isValid(item.versionString) ||
            !VersionNumber::isValid(item.displayVersionString)) {
            continue;
        }
        if (!raw.link.isEmpty()) {
            item.downloadPage = resolved(feedUrl, raw.link);
        } else if (!raw.enclosureUrl.isEmpty()) {
            item.downloadPage = resolved(feedUrl, raw.enclosureUrl);
        } else if (!channelLink.isEmpty()) {
            item.downloadPage = resolved(feedUrl, channelLink);
        }
        items.append(item);
    }
    return items;
}

std::optional<AppcastItem> AppcastParser::newestItem(const QList<AppcastItem>& items) {
    std::optional<AppcastItem> newest;
    for (const AppcastItem& item : items) {
        if (!newest || VersionNumber::compare(item.displayVersionString, newest->displayVersionString) > 0) {
            newest = item;
        }
    }
    return newest;
}
