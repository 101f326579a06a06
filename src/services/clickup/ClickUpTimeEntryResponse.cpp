#include "services/clickup/ClickUpTimeEntryResponse.h"

using namespace Qt::StringLiterals;

namespace {
// A string as it is, or a whole number as its decimal text.
std::optional<QString> millisecondsText(const QJsonValue& value) {
    if (value.isString()) {
        return value.toString();
    }
    if (value.isDouble()) {
        const qint64 whole = value.toInteger(0);
        if (whole != 0 || value.toInteger(1) == 0) {
            return QString::number(whole);
        }
    }
    return std::nullopt;
}

QString requiredMillisecondsText(const JsonReader& member, QLatin1String name) {
    if (auto text = millisecondsText(member.value())) {
        return *std::move(text);
    }
    throw member.typeMismatch(u"Expected String or Int for "_s + name);
}
} // namespace

ClickUpTimeEntryResponse ClickUpTimeEntryResponse::fromJson(const JsonReader& json) {
    json.object();
    ClickUpTimeEntryResponse entry;
    entry.id = json["id"_L1].string();
    entry.start = requiredMillisecondsText(json["start"_L1], "start"_L1);
    entry.end = millisecondsText(json["end"_L1].value());
    entry.duration = requiredMillisecondsText(json["duration"_L1], "duration"_L1);
    entry.task = json["task"_L1].optional<ClickUpTaskDetail>();
    entry.taskUrl = json["task_url"_L1].optionalString();
    return entry;
}
