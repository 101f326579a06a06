#include "services/clickup/StartTimerRequest.h"

QJsonObject StartTimerRequest::toJson() const {
    return QJsonObject{{QStringLiteral("tid"), tid}};
}
