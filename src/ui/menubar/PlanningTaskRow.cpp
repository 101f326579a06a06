#include "ui/menubar/PlanningTaskRow.h"
#include "core/CharacterTruncation.h"
#include "services/clickup/TaskNameCleaner.h"
#include "ui/clickup/StatusBadge.h"
#include "ui/kit/ElidedLabel.h"
#include "ui/kit/PlainToolTip.h"
#include "ui/kit/RowStyle.h"

#include <QHBoxLayout>
#include <QLabel>

#include <cstdio>

PlanningTaskRow::PlanningTaskRow(TaskActions actions, const PlanningTask& task, QWidget* parent)
    : TaskRowFrame(parent)
    , m_actions(std::move(actions))
    , m_task(task) {
    setObjectName(QStringLiteral("planningTaskRow"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->setSpacing(6);
    layout->addWidget(new StatusBadge(task.taskStatus(), this));

    const QString name = displayName(task);
    auto* nameLabel = new ElidedLabel(truncatedToCharacters(name, nameLimit), this);
    nameLabel->setObjectName(QStringLiteral("taskName"));
    nameLabel->setTextFormat(Qt::PlainText);
    nameLabel->setFont(RowStyle::font(11));
    nameLabel->setToolTip(plainToolTip(name));
    layout->addWidget(nameLabel, 1);

    const QString hours = hoursText(task);
    if (!hours.isEmpty()) {
        auto* hoursLabel = new QLabel(hours, this);
        hoursLabel->setObjectName(QStringLiteral("hours"));
        hoursLabel->setFont(RowStyle::monospacedFont(10));
        RowStyle::setTextColor(hoursLabel, RowStyle::secondaryColor(palette()));
        layout->addWidget(hoursLabel);
    }
}

QString PlanningTaskRow::displayName(const PlanningTask& task) {
    return cleanTaskName(task.taskNameWithoutClient());
}

QString PlanningTaskRow::hoursText(const PlanningTask& task) {
    const double hours = task.totalHours();
    if (!(hours > 0)) {
        return {};
    }
    // The C library's formatting, ties to even as it rounds them: 1.25 gives "1.2h".
    char text[64];
    std::snprintf(text, sizeof text, "%.1fh", hours);
    return QString::fromLatin1(text);
}

TaskContextMenu* PlanningTaskRow::createContextMenu() {
    return m_actions.contextMenu(m_task.clickUpTaskId, m_task.clickUpURL());
}
