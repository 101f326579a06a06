#include "support/UsageSamples.h"

#include <QLocale>

#include <ctime>

namespace usagesamples {

QDate day() {
    return QDate(2025, 3, 14);
}

QDateTime at(const QString& clock) {
    QTime time = QTime::fromString(clock, QStringLiteral("hh:mm:ss"));
    if (!time.isValid()) {
        time = QTime::fromString(clock, QStringLiteral("hh:mm"));
    }
    return QDateTime(day(), time);
}

AppUsageSession session(const QString& appId, const QString& appName, const QDateTime& start,
                        const std::optional<QDateTime>& end, const std::optional<QString>& taskId) {
    AppUsageSession result;
    result.id = QUuid::createUuid();
    result.appId = appId;
    result.appName = appName;
    result.startTime = start;
    result.endTime = end;
    result.clickUpTaskId = taskId;
    return result;
}

WindowTitleCapture capture(const QString& title, const QDateTime& capturedAt,
                           const std::optional<QString>& url) {
    WindowTitleCapture result;
    result.id = QUuid::createUuid();
    result.title = title;
    result.capturedAt = capturedAt;
    result.url = url;
    return result;
}

WindowTitleCapture redacted(const QDateTime& capturedAt, const std::optional<QString>& url) {
    WindowTitleCapture result = capture(QStringLiteral("[Redacted]"), capturedAt, url);
    result.isRedacted = true;
    return result;
}

WindowTitleCapture email(const QString& subject, const std::optional<QString>& sender,
                         const std::optional<QString>& mailbox) {
    WindowTitleCapture result = capture(subject + QStringLiteral(" - Mail"));
    result.emailSubject = subject;
    result.emailSender = sender;
    result.emailMailbox = mailbox;
    return result;
}

void pinZoneAndLocale() {
    qputenv("TZ", "Europe/Berlin");
    tzset();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
}

} // namespace usagesamples
