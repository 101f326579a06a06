#pragma once

#include "services/usage/ScriptRunner.h"

// The script runner of a desktop without AppleScript: every script fails as "Application not found"
// (-600), and no application is listed as running, so deep context falls back on the desktop's own
// sources.
class LinuxScriptRunner : public ScriptRunner {
public:
    static constexpr int applicationNotFound = -600;

    ScriptOutcome run(const QString& script) override;
    QStringList runningAppIds() override;
};
