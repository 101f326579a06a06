#pragma once

#include "app/Log.h"

#include <QStringList>

// Collects the lines written through Log while it lives, in place of the normal output.
// Lines read "[Category] message", as Log formats them.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines() const { return m_lines; }
    // The lines written at the level.
    QStringList lines(Log::Level level) const;
    // How many lines contain the text.
    int count(const QString& text) const;
    bool contains(const QString& text) const { return count(text) > 0; }
    void clear();

private:
    QStringList m_lines;
    QList<Log::Level> m_levels;
};
