#include "services/forwarding/ClickUpTaskResponse.h"

#include "core/JsonReader.h"

ClickUpTaskResponse ClickUpTaskResponse::fromJson(const JsonReader& json) {
    ClickUpTaskResponse response;
    response.id = json[QLatin1String("id")].string();
    response.name = json[QLatin1String("name")].string();
    response.url = json[QLatin1String("url")].string();
    return response;
}
