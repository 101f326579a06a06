#include "services/tools/RefreshRequest.h"

#include <QJsonDocument>
#include <QJsonObject>

QByteArray RefreshRequest::toJson() const {
    const QJsonObject object{{QStringLiteral("grant_type"), grantType},
                             {QStringLiteral("refresh_token"), refreshToken}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
