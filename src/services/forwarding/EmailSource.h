#pragma once

#include <QString>

#include <optional>

// Reads the e-mail the user has open: its subject and a link to it. Neither call throws; none means
// "not found".
class EmailSource {
public:
    virtual ~EmailSource() = default;

    virtual std::optional<QString> getEmailSubject() = 0;
    virtual std::optional<QString> getEmailLink() = 0;
};
