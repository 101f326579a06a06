#pragma once

#include <QString>

#include <optional>

class JsonReader;

// The Tools token API's reply to the "userinfo" action: the signed-in user.
struct UserInfoResponse {
    qint64 sub = 0; // "sub", the user's id
    QString username;
    QString email;
    QString firstname;
    QString lastname;
    QString fullname;
    std::optional<QString> userkey;
    std::optional<QString> picture;

    static UserInfoResponse fromJson(const JsonReader& json);
    bool operator==(const UserInfoResponse&) const = default;
};
