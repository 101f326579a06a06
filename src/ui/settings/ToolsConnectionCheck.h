#pragma once

#include "services/tools/PersonalPlanning.h"

#include <QCoroTask>
#include <QString>

// The Timesheet page's connection test: fetches the personal planning with the credentials as the
// page's fields hold them (address, user key and shared web-service token), not with the stored ones,
// so that what the user sees is what is tested. The personal sign-in is left out: its token belongs
// to the stored address and is never sent to an address typed but not saved. Nothing is stored.
class ToolsConnectionCheck {
public:
    static constexpr int requestTimeoutMs = 10 * 1000;

    // The planning, or the client's error (APIError) as getPersonalPlanning throws it.
    static QCoro::Task<PersonalPlanning> run(QString toolsUrl, QString userKey, QString wsToken);
};
