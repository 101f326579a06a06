#include "services/usage/LinuxScriptRunner.h"

ScriptOutcome LinuxScriptRunner::run(const QString&) {
    return ScriptOutcome::failed(applicationNotFound, QStringLiteral("Application not found"));
}

QStringList LinuxScriptRunner::runningAppIds() {
    return {};
}
