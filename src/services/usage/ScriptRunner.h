#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What running a script gave: it did not compile, it failed with an error number and message (either
// may be missing), or it returned a text (none when it returned no text).
struct ScriptOutcome {
    struct Failure {
        std::optional<int> number;
        std::optional<QString> message;
    };

    bool compiled = true;
    std::optional<Failure> failure;
    std::optional<QString> value;

    static ScriptOutcome notCompiled() { return ScriptOutcome{false, std::nullopt, std::nullopt}; }
    static ScriptOutcome failed(std::optional<int> number, std::optional<QString> message) {
        return ScriptOutcome{true, Failure{number, std::move(message)}, std::nullopt};
    }
    static ScriptOutcome returned(std::optional<QString> value) {
        return ScriptOutcome{true, std::nullopt, std::move(value)};
    }
};

// Runs the scripts that ask browsers and e-mail clients what they show (AppleScript where the desktop
// has it), and lists the running applications by id.
class ScriptRunner {
public:
    virtual ~ScriptRunner() = default;
    virtual ScriptOutcome run(const QString& script) = 0;
    virtual QStringList runningAppIds() = 0;
};
