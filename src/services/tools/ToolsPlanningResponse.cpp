#include "services/tools/ToolsPlanningResponse.h"

#include "core/DecodingError.h"
#include "core/JsonReader.h"

#include <cstdio>

using namespace Qt::StringLiterals;

QList<PlanningTask> ToolsPlanningResponse::parseTasks() const {
    if (!data) {
        return {};
    }
    try {
        return JsonReader::parse(data->toUtf8()).list<PlanningTask>();
    } catch (const DecodingError& error) {
        const QByteArray line = "Failed to parse planning tasks: " + error.description().toUtf8() + '\n';
        std::fputs(line.constData(), stdout);
        std::fflush(stdout);
        return {};
    }
}

ToolsPlanningResponse ToolsPlanningResponse::fromJson(const JsonReader& json) {
    ToolsPlanningResponse response;
    response.data = json["data"_L1].optionalString();
    response.xbarVersion = json["xbarversion"_L1].optionalString();
    return response;
}
