#include "services/forwarding/MailClientSubjects.h"

#include "core/AppCatalogue.h"
#include "services/forwarding/MailClient.h"

using namespace Qt::StringLiterals;

std::optional<QString> MailClientSubjects::subjectFromTitle(const QString& appId,
                                                            const QString& windowTitle) const {
    // The desktop clients by the application catalogue: the record's id, or an earlier version's.
    const AppCatalogue::App* known = AppCatalogue::find(appId);
    if (!known || known->kind != AppCatalogue::Kind::mail) {
        return std::nullopt;
    }
    const QString& name = known->name;
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
