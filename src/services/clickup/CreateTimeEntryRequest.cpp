#include "services/clickup/CreateTimeEntryRequest.h"

QJsonObject CreateTimeEntryRequest::toJson() const {
    QJsonObject json{
        {QStringLiteral("tid"), tid},
        {QStringLiteral("start"), start},
        {QStringLiteral("duration"), duration},
        {QStringLiteral("billable"), billable},
    };
    if (description) {
        json.insert(QStringLiteral("description"), *description);
    }
    return json;
}
