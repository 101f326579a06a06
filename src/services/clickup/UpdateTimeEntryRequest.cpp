#include "services/clickup/UpdateTimeEntryRequest.h"

QJsonObject UpdateTimeEntryRequest::toJson() const {
    return QJsonObject{{QStringLiteral("start"), start}, {QStringLiteral("duration"), duration}};
}
