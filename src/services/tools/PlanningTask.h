#pragma once

#include "services/clickup/ClickUpAssignee.h"
#include "services/clickup/TaskStatus.h"
#include "services/tools/WeekEntry.h"

#include <QList>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QUrl>

class JsonReader;

// One task of the Tools planning: the ClickUp task it names and, per week of the year, the work
// planned for it. JSON members "name", "clickuptaskid" and "status" (texts, required) and "weeks"
// (an object from week-number text to a list of WeekEntry). "weeks" is read tolerantly: when it is
// missing, null or not such an object (a list, an entry holding a number, ...) the task keeps no
// weeks and still decodes.
struct PlanningTask {
    QString name;
    QString clickUpTaskId;
    // Free text, compared with the TaskStatus vocabulary.
    QString status;
    // Week-of-year number as the server writes it ("37") → the entries planned that week.
    QMap<QString, QList<WeekEntry>> weeks;
    // Not sent by the planning; empty after decoding.
    QList<ClickUpAssignee> assignees;

    // The hours planned over all weeks, past ones included.
    double totalHours() const;
    // "https://app.clickup.com/t/<id>".
    QUrl clickUpURL() const;
    // The part of the name before the first " - ", trimmed of blanks; the whole trimmed name when it
    // holds no " - ". "Client A - Site - Fix login" → "Client A".
    QString clientName() const;
    // The parts after the first " - ", joined again and trimmed; the whole name, untrimmed, when it
    // holds no " - ". "Client A - Site - Fix login" → "Site - Fix login".
    QString taskNameWithoutClient() const;
    // The smallest week number among the week keys that is at least `week`; 0 when there is none.
    // Keys that are not whole decimal numbers (an optional sign, then digits) are skipped; the
    // entries under a key are not looked at.
    int firstWeek(int onOrAfter) const;
    // The status mapped onto the vocabulary (see taskStatusFromText): unknown texts are `other`.
    TaskStatus taskStatus() const;

    // True when a's status ranks before b's: in progress, in review, code review, needs quote, needs
    // clarification, other. Equal ranks are ordered neither way.
    static bool isOrderedBeforeByStatus(const PlanningTask& a, const PlanningTask& b);
    // The tasks in status order; tasks of one status keep their order.
    static QList<PlanningTask> sortedByStatus(QList<PlanningTask> tasks);
    // Client name → that client's tasks in their input order.
    static QMap<QString, QList<PlanningTask>> groupByClient(const QList<PlanningTask>& tasks);

    static PlanningTask fromJson(const JsonReader& json);

    bool operator==(const PlanningTask&) const = default;
};

Q_DECLARE_METATYPE(PlanningTask)
