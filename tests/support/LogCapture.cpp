#include "LogCapture.h"

LogCapture::LogCapture() {
    Log::setSinkForTesting([this](Log::Level level, Log::Category, const QString& line) {
        m_lines.append(line);
        m_levels.append(level);
    });
}

LogCapture::~LogCapture() {
    Log::setSinkForTesting({});
}

QStringList LogCapture::lines(Log::Level level) const {
    QStringList matching;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_levels[i] == level) {
            matching.append(m_lines[i]);
        }
    }
    return matching;
}

int LogCapture::count(const QString& text) const {
    int found = 0;
    for (const QString& line : m_lines) {
        if (line.contains(text)) {
            ++found;
        }
    }
    return found;
}

void LogCapture::clear() {
    m_lines.clear();
    m_levels.clear();
}
