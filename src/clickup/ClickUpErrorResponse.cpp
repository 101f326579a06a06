#include "clickup/ClickUpErrorResponse.h"

#include "app/DecodingError.h"
#include "app/Utf8Text.h"

ClickUpErrorResponse ClickUpErrorResponse::fromJson(const JsonReader& json) {
    ClickUpErrorResponse response;
    response.err = json[QLatin1String("err")].optionalString();
    response.error = json[QLatin1String("error")].optionalString();
    response.ecode = json[QLatin1String("ECODE")].optionalString();
    return response;
}

std::optional<QString> ClickUpErrorResponse::messageOf(const QByteArray& body) {
    if (body.trimmed().isEmpty()) {
        return std::nullopt;
    }
    try {
        const auto response = decodeJson<ClickUpErrorResponse>(body);
        if (response.err) {
            return response.err;
        }
        if (response.error) {
            return response.error;
        }
        return QStringLiteral("Unknown error");
    } catch (const DecodingError&) {
        return utf8Text(body);
    }
}
