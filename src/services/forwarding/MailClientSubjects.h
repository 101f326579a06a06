#pragma once

#include "services/usage/MailSubjectSource.h"

// The subject of the e-mail a desktop mail client shows (Thunderbird, Evolution, Geary), read from
// its window title by the same rules as the e-mail capture (MailClient). Titles that name a view
// give none.
class MailClientSubjects : public MailSubjectSource {
public:
    std::optional<QString> subjectFromTitle(const QString& appId, const QString& windowTitle) const override;
};
