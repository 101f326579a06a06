#include "support/SyntheticUsageDay.h"

#include <QRandomGenerator>
#include <QStringList>

namespace syntheticusage {
namespace {
QString textOfLength(QRandomGenerator& random, int length) {
    static const QStringList words{
        QStringLiteral("invoice"),  QStringLiteral("pendlow"),    QStringLiteral("review"),
        QStringLiteral("main.py"),  QStringLiteral("roadmap"),    QStringLiteral("Docs"),
        QStringLiteral("-"),        QStringLiteral("|"),          QStringLiteral("client"),
        QStringLiteral("planning"), QStringLiteral("src/app.ts"), QStringLiteral("Q3")};
    QString text;
    while (text.size() < length) {
        text += words[int(random.bounded(words.size()))] + QLatin1Char(' ');
    }
    text.truncate(length);
    return text;
}
} // namespace

QDate day() {
    return QDate(2025, 3, 14);
}

QList<AppUsageSession> sessions(int sessionCount, int captureCount) {
    QRandomGenerator random(42);
    static const QStringList apps{
        QStringLiteral("com.google.Chrome"),       QStringLiteral("org.mozilla.firefox"),
        QStringLiteral("com.microsoft.VSCode"),    QStringLiteral("com.apple.Terminal"),
        QStringLiteral("org.mozilla.thunderbird"), QStringLiteral("com.tinyspeck.slackmacgap"),
        QStringLiteral("org.gnome.gedit"),         QStringLiteral("com.jetbrains.PhpStorm")};
    const int perSession = captureCount / sessionCount;
    QDateTime time(day(), QTime(7, 0));
    QList<AppUsageSession> result;
    result.reserve(sessionCount);
    int captureIndex = 0;
    for (int i = 0; i < sessionCount; ++i) {
        AppUsageSession session;
        session.id = QUuid::createUuid();
        session.appId = apps[i % apps.size()];
        session.appName = session.appId.section(QLatin1Char('.'), -1);
        session.startTime = time;
        time = time.addSecs(15 + qint64(random.bounded(40)));
        session.endTime = time;
        if (i % 3 != 0) {
            session.clickUpTaskId = QStringLiteral("86c%1").arg(i % 17);
        }
        for (int c = 0; c < perSession; ++c, ++captureIndex) {
            WindowTitleCapture capture;
            capture.id = QUuid::createUuid();
            capture.capturedAt = session.startTime.addSecs(c);
            capture.isRedacted = captureIndex % 20 == 0;
            capture.title = capture.isRedacted ? QStringLiteral("[Redacted]")
                                               : textOfLength(random, 40 + int(random.bounded(81)));
            if (captureIndex % 10 < 6) {
                capture.url = QStringLiteral("https://site%1.example.org/path/%2?q=%3")
                                  .arg(captureIndex % 37)
                                  .arg(captureIndex)
                                  .arg(random.bounded(1000));
            }
            if (captureIndex % 10 == 6) {
                capture.emailSubject = textOfLength(random, 30);
                capture.emailSender = QStringLiteral("Ann Lee <ann@example.org>");
                capture.emailMailbox = QStringLiteral("Inbox");
            }
            session.addCapture(capture);
        }
        result.append(std::move(session));
    }
    return result;
}

} // namespace syntheticusage
