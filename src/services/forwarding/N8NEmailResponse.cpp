#include "services/forwarding/N8NEmailResponse.h"

#include "core/JsonReader.h"

N8NEmailResponse N8NEmailResponse::fromJson(const JsonReader& json) {
    N8NEmailResponse response;
    response.success = json[QLatin1String("success")].boolean();
    response.taskId = json[QLatin1String("taskId")].optionalString();
    response.taskUrl = json[QLatin1String("taskUrl")].optionalString();
    response.message = json[QLatin1String("message")].optionalString();
    return response;
}
