#pragma once

#include "services/tools/PersonalPlanning.h"

#include <QCoroTask>

// The Tools web-service client as the planning state holds it, so tests can substitute it.
class ToolsClient {
public:
    virtual ~ToolsClient() = default;

    // The user's planning. Throws APIError, or, when the personal sign-in's token cannot be had,
    // the sign-in's own error (AuthError, or the refresh's transport, decoding or keychain error).
    virtual QCoro::Task<PersonalPlanning> getPersonalPlanning() = 0;
};
