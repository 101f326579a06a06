#include "services/forwarding/MailClientSubjects.h"

#include "services/forwarding/MailClient.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {
// The ids the usage records give the desktop clients, and the client each one is.
const QHash<QString, QString>& clientNames() {
    static const QHash<QString, QString> names{
        {u"org.mozilla.thunderbird"_s, u"Thunderbird"_s},
        {u"org.gnome.Evolution"_s, u"Evolution"_s},
        {u"evolution"_s, u"Evolution"_s},
        {u"org.gnome.Geary"_s, u"Geary"_s},
        {u"geary"_s, u"Geary"_s},
    };
    return names;
}
} // namespace

std::optional<QString> MailClientSubjects::subjectFromTitle(const QString& bundleIdentifier,
                                                            const QString& windowTitle) const {
    const QString name = clientNames().value(bundleIdentifier);
    if (name.isEmpty()) {
        return std::nullopt;
    }
    for (const MailClient& client : MailClient::known()) {
        if (client.name != name) {
            continue;
        }
        const std::optional<QString> subject = client.subjectFromTitle(windowTitle);
        if (!subject || subject->trimmed().isEmpty() || *subject == client.placeholderSubject()) {
            return std::nullopt;
        }
        return subject;
    }
    return std::nullopt;
}
