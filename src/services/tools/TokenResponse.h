#pragma once

#include <QString>

#include <optional>

class JsonReader;

// The Tools token API's reply to the "token" action. Every member is required but "user".
struct TokenResponse {
    // The signed-in user as the token reply describes it.
    struct UserInfo {
        qint64 id = 0; // "id"
        QString username;
        QString email;
        QString firstname;
        QString lastname;
        QString fullname;
        std::optional<QString> userkey;

        static UserInfo fromJson(const JsonReader& json);
        bool operator==(const UserInfo&) const = default;
    };

    QString accessToken;         // "access_token"
    QString refreshToken;        // "refresh_token"
    QString tokenType;           // "token_type"
    qint64 expiresIn = 0;        // "expires_in", seconds
    qint64 refreshExpiresIn = 0; // "refresh_expires_in", seconds
    QString scope;               // "scope"
    std::optional<UserInfo> user;

    static TokenResponse fromJson(const JsonReader& json);
    bool operator==(const TokenResponse&) const = default;
};
