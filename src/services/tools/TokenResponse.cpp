#include "services/tools/TokenResponse.h"

#include "core/JsonReader.h"

using namespace Qt::StringLiterals;

TokenResponse::UserInfo TokenResponse::UserInfo::fromJson(const JsonReader& json) {
    UserInfo user;
    user.id = json["id"_L1].integer();
    user.username = json["username"_L1].string();
    user.email = json["email"_L1].string();
    user.firstname = json["firstname"_L1].string();
    user.lastname = json["lastname"_L1].string();
    user.fullname = json["fullname"_L1].string();
    user.userkey = json["userkey"_L1].optionalString();
    return user;
}

TokenResponse TokenResponse::fromJson(const JsonReader& json) {
    TokenResponse response;
    response.accessToken = json["access_token"_L1].string();
    response.refreshToken = json["refresh_token"_L1].string();
    response.tokenType = json["token_type"_L1].string();
    response.expiresIn = json["expires_in"_L1].integer();
    response.refreshExpiresIn = json["refresh_expires_in"_L1].integer();
    response.scope = json["scope"_L1].string();
    response.user = json["user"_L1].optional<UserInfo>();
    return response;
}
