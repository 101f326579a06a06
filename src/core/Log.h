#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <optional>

// The application's one logging front. Each line goes to standard error as
// "<level> [<Category>] <message>" and, when a systemd journal is present, to the journal
// (SYSLOG_IDENTIFIER=pendlow, PENDLOW_CATEGORY=<Category>). info and debug are written only while the
// debug switch is on (the application sets it from the setting "debugLoggingEnabled" at start and on
// every change); warning, error and notice always.
// Any thread may log; lines never interleave.
// Never pass a secret, or any part of one, in a message: use Log::redacted(). As a second line of
// defence every registered secret is masked in each line before it is written.
class Log {
public:
    enum class Category {
        api,
        timer,
        appUsage,
        accessibility,
        deepContext,
        storage,
        keychain,
        ui,
        notification,
        general
    };

    enum class Level { debug, info, notice, error };
    enum class Stream { standardOutput, standardError };

    static QString rawValue(Category category);
    static std::optional<Category> categoryFromRawValue(const QString& rawValue);

    static void info(const QString& message, Category category);
    // The debug switch; off until set. Takes effect on the next call, from any thread.
    static void setDebugEnabled(bool enabled);
    static bool isDebugEnabled();

    static void debug(const QString& message, Category category);
    // Written at error level.
    static void warning(const QString& message, Category category);
    static void error(const QString& message, Category category);
    // "[%s] %s: %s" with the error's description.
    static void error(const QString& message, Category category, const std::exception& error);
    static void notice(const QString& message, Category category);

    // A console line: the text as it stands (no level, no category) and a line break, written to the
    // stream and flushed at once, never to the journal nor to a test sink; registered secrets are
    // masked. For the lines a user reads in the terminal (start-up refusals, the updater's and the
    // task search's progress); needs nothing set up, so main may use it first thing.
    static void console(const QString& line, Stream stream = Stream::standardOutput);

    // A stand-in for a secret in log lines: tells whether one is present and nothing of its content.
    static QString redacted(const QString& secret);

    // Remembers a secret (of 4 characters or more; shorter ones are ignored) for the rest of the
    // process: from then on, wherever it appears in a line, it is written as "<redacted>", and so is
    // a fragment of 8 or more characters that starts it. The keychain store registers every value
    // it reads or writes.
    static void registerSecret(const QString& secret);
    // The text with every registered secret masked as in a log line, for texts shown elsewhere (a
    // server's error message on screen).
    static QString masked(const QString& text);

    // Receives every written line (level, category, formatted "[Category] message" text) in place of
    // stderr and the journal while set; for tests. An empty handler restores the normal output.
    using Sink = std::function<void(Level, Category, const QString&)>;
    static void setSinkForTesting(Sink sink);
};
