#include "services/tools/WeekEntry.h"

#include "core/JsonReader.h"

#include <charconv>
#include <cmath>

using namespace Qt::StringLiterals;

double WeekEntry::plannedHours() const {
    return plannedAmount(hours) + plannedAmount(minutes) / 60.0;
}

double WeekEntry::plannedAmount(const std::optional<QString>& text) {
    if (!text) {
        return 0;
    }
    const QByteArray bytes = text->toUtf8();
    const char* begin = bytes.constData();
    const char* const end = begin + bytes.size();
    // A leading "+" is allowed once, as for C's strtod; from_chars takes only "-".
    if (begin != end && *begin == '+') {
        ++begin;
        if (begin != end && (*begin == '+' || *begin == '-')) {
            return 0;
        }
    }
    double value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (begin == end || error != std::errc() || stop != end || !std::isfinite(value)) {
        return 0;
    }
    return value;
}

WeekEntry WeekEntry::fromJson(const JsonReader& json) {
    WeekEntry entry;
    entry.assignee = json["assignee"_L1].optionalString();
    entry.hours = json["hours"_L1].optionalString();
    entry.minutes = json["minutes"_L1].optionalString();
    entry.comments = json["comments"_L1].optionalString();
    entry.label = json["label"_L1].optionalString();
    return entry;
}
