#include "services/dayplan/QuarterHour.h"

QDateTime localTimeOfDay(const QDate& day, int hour, int minute) {
    if (hour >= 24) {
        return QDateTime(day.addDays(hour / 24), QTime(hour % 24, minute), Qt::LocalTime);
    }
    return QDateTime(day, QTime(hour, minute), Qt::LocalTime);
}

QDateTime startOfLocalDay(const QDateTime& t) {
    return t.toLocalTime().date().startOfDay(Qt::LocalTime);
}

QDateTime floorToQuarterHour(const QDateTime& t) {
    const QDateTime local = t.toLocalTime();
    const QTime time = local.time();
    const QDateTime floored(local.date(), QTime(time.hour(), time.minute() - time.minute() % 15),
                            Qt::LocalTime);
    return floored.isValid() ? floored : t;
}

QDateTime roundUpToQuarterHour(const QDateTime& t) {
    const QDateTime local = t.toLocalTime();
    const QTime time = local.time();
    int minute = time.minute();
    const int rest = minute % 15;
    if (rest != 0) {
        minute += 15 - rest;
    }
    int hour = time.hour();
    if (minute >= 60) {
        minute -= 60;
        hour += 1;
    }
    const QDateTime rounded = localTimeOfDay(local.date(), hour, minute);
    return rounded.isValid() ? rounded : t;
}
