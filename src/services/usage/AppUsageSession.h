#pragma once

#include "services/usage/WindowTitleCapture.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

// One stretch of time during which one application was in front. The first four fields never change
// after creation; the end, the captures and the project context are filled in as the session runs
// and ends.
struct AppUsageSession {
    QUuid id;
    QString appId;
    QString appName;
    QDateTime startTime;
    std::optional<QDateTime> endTime;
    std::optional<QString> clickUpTaskId;
    // Titles of the non-redacted captures in capture order; none until the first capture.
    std::optional<QStringList> windowTitles;
    QList<WindowTitleCapture> windowCaptures;
    std::optional<QString> projectContext;

    bool operator==(const AppUsageSession& other) const = default;

    // Seconds from the start to the end, or to now (Clock::now()) while the session is open.
    double duration() const;
    // The end, or now while the session is open.
    QDateTime endOrNow() const;
    // duration() as "<1m", "5m" or "2h 15m".
    QString formattedDuration() const;
    // Distinct titles of the non-redacted captures, sorted.
    QStringList uniqueWindowTitles() const;
    // Distinct context lines of the captures (those that have one), sorted.
    QStringList contexts() const;
    // The context line that most captures yield; the first to reach the highest count wins a tie.
    std::optional<QString> dominantContext() const;
    // Appends the capture; the title of a non-redacted one also goes to windowTitles.
    void addCapture(const WindowTitleCapture& capture);
};
