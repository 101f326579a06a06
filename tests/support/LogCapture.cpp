#include "LogCapture.h"

#include <QMutexLocker>

#include <utility>

LogCapture::LogCapture(Verbosity verbosity) {
    if (verbosity == Verbosity::debug) {
        m_debugLoggingBefore = Log::isDebugEnabled();
        Log::setDebugEnabled(true);
    }
    Log::setSinkForTesting([this](Log::Level level, Log::Category, const QString& line) {
        const QMutexLocker locker(&m_mutex);
        m_lines.append(line);
        m_levels.append(level);
    });
}

LogCapture::~LogCapture() {
    Log::setSinkForTesting({});
    if (m_debugLoggingBefore) {
        Log::setDebugEnabled(*m_debugLoggingBefore);
    }
}

QStringList LogCapture::lines() const {
    const QMutexLocker locker(&m_mutex);
    return m_lines;
}

QStringList LogCapture::lines(Log::Level level) const {
    const QMutexLocker locker(&m_mutex);
    QStringList matching;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_levels[i] == level) {
            matching.append(m_lines[i]);
        }
    }
    return matching;
}

QStringList LogCapture::takeLines() {
    const QMutexLocker locker(&m_mutex);
    m_levels.clear();
    return std::exchange(m_lines, {});
}

int LogCapture::count(const QString& text) const {
    const QMutexLocker locker(&m_mutex);
    int found = 0;
    for (const QString& line : m_lines) {
        if (line.contains(text)) {
            ++found;
        }
    }
    return found;
}

void LogCapture::clear() {
    const QMutexLocker locker(&m_mutex);
    m_lines.clear();
    m_levels.clear();
}
