#include "services/clickup/TaskStatus.h"

QString rawValue(TaskStatus status) {
    switch (status) {
    case TaskStatus::inProgress:
        return QStringLiteral("in progress");
    case TaskStatus::inReview:
        return QStringLiteral("in review");
    case TaskStatus::codeReview:
        return QStringLiteral("code review");
    case TaskStatus::needsQuote:
        return QStringLiteral("needs quote");
    case TaskStatus::needsClarification:
        return QStringLiteral("needs clarification");
    case TaskStatus::other:
        break;
    }
    return QStringLiteral("other");
}

std::optional<TaskStatus> taskStatusFromRawValue(QStringView text) {
    for (TaskStatus status : allTaskStatuses()) {
        if (text == rawValue(status)) {
            return status;
        }
    }
    return std::nullopt;
}

const QList<TaskStatus>& allTaskStatuses() {
    static const QList<TaskStatus> all{TaskStatus::inProgress,         TaskStatus::inReview,
                                       TaskStatus::codeReview,         TaskStatus::needsQuote,
                                       TaskStatus::needsClarification, TaskStatus::other};
    return all;
}

namespace {
bool isBlank(QChar c) {
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}
} // namespace

TaskStatus taskStatusFromText(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return taskStatusFromRawValue(text.sliced(begin, end - begin).toString().toLower())
        .value_or(TaskStatus::other);
}
