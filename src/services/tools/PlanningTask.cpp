#include "services/tools/PlanningTask.h"

#include "core/DecodingError.h"
#include "core/JsonReader.h"
#include "services/clickup/ClickUpConversions.h"

#include <algorithm>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {
const QString clientSeparator = u" - "_s;

bool isBlank(QChar c) {
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

// Trims Unicode space separators and tabs at both ends; line breaks stay.
QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin))) {
        ++begin;
    }
    while (end > begin && isBlank(text.at(end - 1))) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

QMap<QString, QList<WeekEntry>> decodeWeeks(const JsonReader& weeks) {
    QMap<QString, QList<WeekEntry>> result;
    if (weeks.isAbsent()) {
        return result;
    }
    try {
        const QJsonObject object = weeks.object();
        for (auto it = object.begin(); it != object.end(); ++it) {
            // Failures are dropped below, so the entries need no place in the document.
            result.insert(it.key(), JsonReader(it.value()).list<WeekEntry>());
        }
    } catch (const DecodingError&) {
        return {};
    }
    return result;
}
} // namespace

double PlanningTask::totalHours() const {
    double total = 0;
    for (const QList<WeekEntry>& entries : weeks) {
        for (const WeekEntry& entry : entries) {
            total += entry.plannedHours();
        }
    }
    return total;
}

QUrl PlanningTask::clickUpURL() const {
    return clickUpTaskUrl(clickUpTaskId);
}

QString PlanningTask::clientName() const {
    return trimBlanks(name.section(clientSeparator, 0, 0));
}

QString PlanningTask::taskNameWithoutClient() const {
    const qsizetype separator = name.indexOf(clientSeparator);
    if (separator < 0) {
        return name;
    }
    return trimBlanks(name.sliced(separator + clientSeparator.size()));
}

int PlanningTask::firstWeek(int onOrAfter) const {
    std::optional<int> first;
    for (auto it = weeks.keyBegin(); it != weeks.keyEnd(); ++it) {
        // Week keys follow the same rule as ClickUp's millisecond texts: sign, digits, 64 bits.
        const std::optional<qint64> number = parseMilliseconds(*it);
        if (!number || *number < onOrAfter || *number > std::numeric_limits<int>::max()) {
            continue;
        }
        if (!first || *number < *first) {
            first = int(*number);
        }
    }
    return first.value_or(0);
}

TaskStatus PlanningTask::taskStatus() const {
    return taskStatusFromText(status);
}

bool PlanningTask::isOrderedBeforeByStatus(const PlanningTask& a, const PlanningTask& b) {
    return int(a.taskStatus()) < int(b.taskStatus());
}

QList<PlanningTask> PlanningTask::sortedByStatus(QList<PlanningTask> tasks) {
    std::stable_sort(tasks.begin(), tasks.end(), &PlanningTask::isOrderedBeforeByStatus);
    return tasks;
}

QMap<QString, QList<PlanningTask>> PlanningTask::groupByClient(const QList<PlanningTask>& tasks) {
    QMap<QString, QList<PlanningTask>> groups;
    for (const PlanningTask& task : tasks) {
        groups[task.clientName()].append(task);
    }
    return groups;
}

PlanningTask PlanningTask::fromJson(const JsonReader& json) {
    PlanningTask task;
    task.name = json["name"_L1].string();
    task.clickUpTaskId = json["clickuptaskid"_L1].string();
    task.status = json["status"_L1].string();
    task.weeks = decodeWeeks(json["weeks"_L1]);
    return task;
}
