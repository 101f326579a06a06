#include "ClickUpSamples.h"

#include "support/TestData.h"

#include <QUrl>

ActiveTimer timerOn(const QString& taskId, const QDateTime& start, const std::optional<QString>& taskName) {
    return ActiveTimer{QStringLiteral("timer-") + taskId, onHeap(taskId),
                       onHeap(taskName.value_or(QStringLiteral("Task ") + taskId)),
                       QUrl(QStringLiteral("https://app.clickup.com/t/") + taskId), start};
}

TimeEntry finishedEntry(const QString& id, const QDateTime& start, qint64 minutes) {
    TimeEntry e;
    e.id = onHeap(id);
    e.taskId = QStringLiteral("t-") + id;
    e.taskName = QStringLiteral("Task ") + id;
    e.startTime = start;
    e.duration = double(minutes * 60 * 1000);
    e.endTime = start.addMSecs(qint64(e.duration));
    return e;
}

TimeEntry runningEntry(const QString& id, const QDateTime& start) {
    TimeEntry e = finishedEntry(id, start, 0);
    e.duration = -double(start.toMSecsSinceEpoch());
    return e;
}
