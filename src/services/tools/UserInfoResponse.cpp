#include "services/tools/UserInfoResponse.h"

#include "core/JsonReader.h"

using namespace Qt::StringLiterals;

UserInfoResponse UserInfoResponse::fromJson(const JsonReader& json) {
    UserInfoResponse user;
    user.sub = json["sub"_L1].integer();
    user.username = json["username"_L1].string();
    user.email = json["email"_L1].string();
    user.firstname = json["firstname"_L1].string();
    user.lastname = json["lastname"_L1].string();
    user.fullname = json["fullname"_L1].string();
    user.userkey = json["userkey"_L1].optionalString();
    user.picture = json["picture"_L1].optionalString();
    return user;
}
