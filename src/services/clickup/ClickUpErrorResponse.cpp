#include "services/clickup/ClickUpErrorResponse.h"

#include "core/DecodingError.h"
#include "core/JsonReader.h"
#include "core/ServerText.h"
#include "core/Utf8Text.h"

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
        return serverText(body);
    }
}
