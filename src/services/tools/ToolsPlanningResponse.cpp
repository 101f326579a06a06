#include "services/tools/ToolsPlanningResponse.h"

#include "core/DecodingError.h"
#include "core/JsonReader.h"
#include "core/Log.h"

using namespace Qt::StringLiterals;

QList<PlanningTask> ToolsPlanningResponse::parseTasks() const {
    if (!data) {
        return {};
    }
    try {
        return JsonReader::parse(data->toUtf8()).list<PlanningTask>();
    } catch (const DecodingError& error) {
        Log::console(QStringLiteral("Failed to parse planning tasks: ") + error.description());
        return {};
    }
}

ToolsPlanningResponse ToolsPlanningResponse::fromJson(const JsonReader& json) {
    ToolsPlanningResponse response;
    response.data = json["data"_L1].optionalString();
    response.xbarVersion = json["xbarversion"_L1].optionalString();
    return response;
}
