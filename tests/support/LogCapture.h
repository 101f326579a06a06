#pragma once

#include "core/Log.h"

#include <QMutex>
#include <QStringList>

#include <optional>

// Collects the lines written through Log while it lives, in place of the normal output, from any
// thread. Lines read "[Category] message", as Log formats them. With Verbosity::debug it also
// switches the log's debug switch on, so that info and debug lines are written too, and puts the
// switch back as it was when it ends.
class LogCapture {
public:
    enum class Verbosity { asSet, debug };

    explicit LogCapture(Verbosity verbosity = Verbosity::asSet);
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines() const;
    // The lines written at the level.
    QStringList lines(Log::Level level) const;
    // The lines so far, which it then forgets.
    QStringList takeLines();
    // How many lines contain the text.
    int count(const QString& text) const;
    bool contains(const QString& text) const { return count(text) > 0; }
    void clear();

private:
    mutable QMutex m_mutex;
    QStringList m_lines;
    QList<Log::Level> m_levels;
    std::optional<bool> m_debugLoggingBefore;
};
