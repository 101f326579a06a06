#include "core/WorkDaySchedule.h"

#include "core/Clock.h"

#include <QJsonDocument>
#include <QJsonValue>

#include <cmath>
#include <limits>

namespace {
const QString kIsEnabled = QStringLiteral("isEnabled");
const QString kStartHour = QStringLiteral("startHour");
const QString kStartMinute = QStringLiteral("startMinute");
const QString kEndHour = QStringLiteral("endHour");
const QString kEndMinute = QStringLiteral("endMinute");

std::optional<int> wholeNumber(const QJsonValue& value) {
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (number != std::floor(number) || number < std::numeric_limits<int>::min() ||
        number > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

QTime timeOrNow(int hour, int minute) {
    const QTime time(hour, minute);
    return time.isValid() ? time : Clock::now().time();
}
} // namespace

QTime WorkDaySchedule::startTime() const {
    return timeOrNow(startHour, startMinute);
}

void WorkDaySchedule::setStartTime(const QTime& time) {
    startHour = time.isValid() ? time.hour() : 9;
    startMinute = time.isValid() ? time.minute() : 0;
}

QTime WorkDaySchedule::endTime() const {
    return timeOrNow(endHour, endMinute);
}

void WorkDaySchedule::setEndTime(const QTime& time) {
    endHour = time.isValid() ? time.hour() : 17;
    endMinute = time.isValid() ? time.minute() : 0;
}

QJsonObject WorkDaySchedule::toJson() const {
    return QJsonObject{{kIsEnabled, isEnabled},
                       {kStartHour, startHour},
                       {kStartMinute, startMinute},
                       {kEndHour, endHour},
                       {kEndMinute, endMinute}};
}

std::optional<WorkDaySchedule> WorkDaySchedule::fromJson(const QJsonValue& value) {
    if (!value.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = value.toObject();
    const QJsonValue enabled = object.value(kIsEnabled);
    const auto startHour = wholeNumber(object.value(kStartHour));
    const auto startMinute = wholeNumber(object.value(kStartMinute));
    const auto endHour = wholeNumber(object.value(kEndHour));
    const auto endMinute = wholeNumber(object.value(kEndMinute));
    if (!enabled.isBool() || !startHour || !startMinute || !endHour || !endMinute) {
        return std::nullopt;
    }
    return WorkDaySchedule{enabled.toBool(), *startHour, *startMinute, *endHour, *endMinute};
}

QMap<int, WorkDaySchedule> WorkDaySchedule::defaultWeek() {
    QMap<int, WorkDaySchedule> week;
    for (int day = 0; day <= 6; ++day) {
        WorkDaySchedule schedule;
        schedule.isEnabled = day >= 1 && day <= 5;
        week.insert(day, schedule);
    }
    return week;
}

QByteArray WorkDaySchedule::encodeWeek(const QMap<int, WorkDaySchedule>& week) {
    QJsonObject object;
    for (auto it = week.cbegin(); it != week.cend(); ++it) {
        object.insert(QString::number(it.key()), it.value().toJson());
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<QMap<int, WorkDaySchedule>> WorkDaySchedule::decodeWeek(const QByteArray& json) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    QMap<int, WorkDaySchedule> week;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        bool isNumber = false;
        const int day = it.key().toInt(&isNumber);
        const auto schedule = fromJson(it.value());
        if (!isNumber || !schedule) {
            return std::nullopt;
        }
        week.insert(day, *schedule);
    }
    return week;
}
