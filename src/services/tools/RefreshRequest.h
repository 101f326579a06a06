#pragma once

#include <QByteArray>
#include <QString>

// The body of the token API's "token" action: {"grant_type": "refresh_token", "refresh_token": ...}.
struct RefreshRequest {
    QString grantType = QStringLiteral("refresh_token");
    QString refreshToken;

    QByteArray toJson() const;
};
