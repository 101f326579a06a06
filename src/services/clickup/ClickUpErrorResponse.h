#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class JsonReader;

// The body ClickUp sends with a failure status: {"err": "Token invalid", "ECODE": "OAUTH_025"}.
// Every member is optional, so any JSON object decodes.
struct ClickUpErrorResponse {
    std::optional<QString> err;
    std::optional<QString> error;
    std::optional<QString> ecode; // "ECODE"

    static ClickUpErrorResponse fromJson(const JsonReader& json);

    // The message to show for a failed reply's body: "err", else "error", else "Unknown error" when
    // the body is such an object; otherwise the body itself as text; none when it is empty (or only
    // blanks) or not UTF-8. Every ClickUp call describes its failures with it, so that one error reads
    // the same wherever it is shown.
    static std::optional<QString> messageOf(const QByteArray& body);
};
