#pragma once

#include <QString>

#include <optional>

// Reads the subject of the e-mail a mail client shows from its window title, by the client's own
// title rules. None when the application is not a known mail client or the title names a view
// (the inbox, a folder, settings) rather than an e-mail.
class MailSubjectSource {
public:
    virtual ~MailSubjectSource() = default;
    virtual std::optional<QString> subjectFromTitle(const QString& appId,
                                                    const QString& windowTitle) const = 0;
};
