#pragma once

#include "services/usage/AppUsageSession.h"

#include <QDateTime>
#include <QString>

#include <optional>

// Builders of usage records for tests. Times are given as "hh:mm[:ss]" on a fixed day (14 March 2025,
// local time) or as full date-times.
namespace usagesamples {

QDate day();
QDateTime at(const QString& clock);

AppUsageSession session(const QString& appId, const QString& appName, const QDateTime& start,
                        const std::optional<QDateTime>& end,
                        const std::optional<QString>& taskId = std::nullopt);

WindowTitleCapture capture(const QString& title, const QDateTime& capturedAt = at(QStringLiteral("09:00")),
                           const std::optional<QString>& url = std::nullopt);
WindowTitleCapture redacted(const QDateTime& capturedAt = at(QStringLiteral("09:00")),
                            const std::optional<QString>& url = std::nullopt);
WindowTitleCapture email(const QString& subject, const std::optional<QString>& sender = std::nullopt,
                         const std::optional<QString>& mailbox = std::nullopt);

// Pins the time zone (Europe/Berlin) and the default locale (English, United Kingdom) of the test
// process, so texts that follow the locale read the same everywhere.
void pinZoneAndLocale();

} // namespace usagesamples
