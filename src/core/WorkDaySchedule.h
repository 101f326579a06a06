#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QMap>
#include <QTime>

#include <optional>

// The working hours of one weekday. A week maps a day index (0 = Sunday, 1 = Monday ... 6 = Saturday)
// to its schedule. The start minute belongs to the working hours, the end minute does not.
struct WorkDaySchedule {
    bool isEnabled = true;
    int startHour = 9;
    int startMinute = 0;
    int endHour = 17;
    int endMinute = 0;

    bool operator==(const WorkDaySchedule&) const = default;

    // The start as a time of day; when hour and minute make no valid time, the current time of day.
    QTime startTime() const;
    // Takes hour and minute of the given time; an invalid time gives 9:00.
    void setStartTime(const QTime& time);
    // The end as a time of day; when hour and minute make no valid time, the current time of day.
    QTime endTime() const;
    // Takes hour and minute of the given time; an invalid time gives 17:00.
    void setEndTime(const QTime& time);

    // {"isEnabled":…,"startHour":…,"startMinute":…,"endHour":…,"endMinute":…}
    QJsonObject toJson() const;
    // None unless the value is an object holding all five members with their types
    // (a boolean and four whole numbers); other members are ignored.
    static std::optional<WorkDaySchedule> fromJson(const QJsonValue& value);

    // Sunday and Saturday off, Monday to Friday 9:00-17:00.
    static QMap<int, WorkDaySchedule> defaultWeek();
    // A JSON object whose member names are the decimal day indices.
    static QByteArray encodeWeek(const QMap<int, WorkDaySchedule>& week);
    // None when the text is no such object, a member name is no day index or any day is incomplete.
    static std::optional<QMap<int, WorkDaySchedule>> decodeWeek(const QByteArray& json);
};
