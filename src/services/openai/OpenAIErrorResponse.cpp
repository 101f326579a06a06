#include "services/openai/OpenAIErrorResponse.h"

#include "core/JsonReader.h"

OpenAIErrorResponse::ErrorDetail OpenAIErrorResponse::ErrorDetail::fromJson(const JsonReader& json) {
    ErrorDetail detail;
    detail.message = json[QLatin1String("message")].string();
    detail.type = json[QLatin1String("type")].optionalString();
    detail.code = json[QLatin1String("code")].optionalString();
    return detail;
}

OpenAIErrorResponse OpenAIErrorResponse::fromJson(const JsonReader& json) {
    OpenAIErrorResponse response;
    response.error = json[QLatin1String("error")].decode<ErrorDetail>();
    return response;
}
