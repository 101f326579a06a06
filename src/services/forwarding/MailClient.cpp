#include "services/forwarding/MailClient.h"

#include "core/AppCatalogue.h"

using namespace Qt::StringLiterals;

namespace {
// The window classes of the browsers of the application catalogue, in lower case.
QStringList browserClasses() {
    QStringList classes;
    for (const AppCatalogue::App& app : AppCatalogue::all()) {
        if (app.kind == AppCatalogue::Kind::browser && !app.earlierRecordsOnly) {
            classes.append(app.id.toLower());
            for (const QString& other : app.otherNames) {
                classes.append(other.toLower());
            }
        }
    }
    return classes;
}

// What browsers append to a page's title.
const QString browserSuffix =
    uR"((?:\s[-—–]\s(?:Mozilla Firefox|Firefox|Google Chrome|Chromium|Brave|Microsoft\s?Edge|Vivaldi|Web))?$)"_s;

QRegularExpression pattern(const QString& text) {
    return QRegularExpression(text);
}

const QStringList commonViewTitles{u"Inbox"_s, u"Settings"_s, u"Preferences"_s};
} // namespace

const QList<MailClient>& MailClient::known() {
    static const QList<MailClient> clients{
        {u"Spark"_s,
         {u"spark"_s, u"spark desktop"_s, u"sparkdesktop"_s},
         pattern(u" - Spark"_s),
         false,
         {u"Spark"_s, u"Spark Desktop"_s}},
        {u"Thunderbird"_s,
         {u"thunderbird"_s, u"thunderbird-esr"_s, u"mail"_s},
         pattern(uR"(\s[-—]\s(?:Mozilla\s)?Thunderbird$)"_s),
         false,
         {u"Thunderbird"_s, u"Mozilla Thunderbird"_s},
         true},
        {u"Evolution"_s,
         {u"evolution"_s, u"org.gnome.evolution"_s},
         pattern(uR"(\s[-—]\sEvolution$)"_s),
         false,
         {u"Evolution"_s, u"Mail"_s}},
        {u"Geary"_s,
         {u"geary"_s, u"org.gnome.geary"_s},
         pattern(uR"(\s[-—]\sGeary$)"_s),
         false,
         {u"Geary"_s}},
        {u"Gmail"_s,
         browserClasses(),
         pattern(uR"(\s-\s\S+@\S+\s-\sGmail)"_s + browserSuffix),
         true,
         {u"Gmail"_s}},
        {u"Outlook"_s,
         browserClasses(),
         pattern(uR"(\s-\s(?:[^-]+\s-\s)?Outlook)"_s + browserSuffix),
         true,
         {u"Outlook"_s, u"Mail"_s}},
        {u"Proton Mail"_s,
         browserClasses(),
         pattern(uR"(\s\|\sProton Mail)"_s + browserSuffix),
         true,
         {u"Proton Mail"_s}},
    };
    return clients;
}

std::optional<MailClient> MailClient::forWindow(const ClientWindow& window) {
    for (const MailClient& client : known()) {
        if (client.claims(window)) {
            return client;
        }
    }
    return std::nullopt;
}

bool MailClient::claims(const ClientWindow& window) const {
    const bool classMatches = windowClasses.contains(window.className.toLower()) ||
                              windowClasses.contains(window.instanceName.toLower());
    if (!classMatches) {
        return false;
    }
    return !isWebmail || titleSuffix.match(window.title).hasMatch();
}

std::optional<QString> MailClient::subjectFromTitle(const QString& title) const {
    if (title.isEmpty()) {
        return std::nullopt;
    }
    qsizetype lastStart = -1;
    QRegularExpressionMatchIterator matches = titleSuffix.globalMatch(title);
    while (matches.hasNext()) {
        lastStart = matches.next().capturedStart();
    }
    const QString kept = lastStart >= 0 ? title.left(lastStart) : title;

    // "Inbox (3)" is the inbox as well.
    static const QRegularExpression unreadCount(uR"(\s\(\d+\)$)"_s);
    QString view = kept;
    view.remove(unreadCount);
    for (const QString& word : commonViewTitles + viewTitles) {
        if (view == word || (folderViewTitles && view.startsWith(word + u" - "_s))) {
            return placeholderSubject();
        }
    }
    return kept;
}

QString MailClient::placeholderSubject() const {
    return u"Email from "_s + name;
}
