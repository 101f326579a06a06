#pragma once

#include <QHashFunctions>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringView>

#include <optional>

// The status vocabulary of tasks, shared by time entries, search results and planning rows.
// allTaskStatuses() lists the cases in this order, which is also the order planning rows sort by.
enum class TaskStatus { inProgress, inReview, codeReview, needsQuote, needsClarification, other };

// "in progress", "in review", "code review", "needs quote", "needs clarification", "other".
QString rawValue(TaskStatus status);
// Exactly one of the six raw values, nothing else (no trimming, no case folding).
std::optional<TaskStatus> taskStatusFromRawValue(QStringView rawValue);
const QList<TaskStatus>& allTaskStatuses();

// A status text as ClickUp or the planning sends it: lower-cased, stripped of spaces and tabs at both
// ends (line breaks stay) and matched exactly; anything else is `other`. " In Review " → inReview.
TaskStatus taskStatusFromText(QStringView text);

inline size_t qHash(TaskStatus status, size_t seed = 0) noexcept {
    return qHash(static_cast<int>(status), seed);
}

Q_DECLARE_METATYPE(TaskStatus)
