#include "ui/menubar/TimeEntryGroupRow.h"

#include "core/CharacterTruncation.h"
#include "core/Formatting.h"
#include "ui/clickup/StatusBadge.h"
#include "ui/kit/ElidedLabel.h"
#include "ui/kit/RowStyle.h"

#include <QHBoxLayout>
#include <QLabel>

TimeEntryGroupRow::TimeEntryGroupRow(TaskActions actions, const TimeEntryGroup& group, QWidget* parent)
    : TaskRowFrame(parent)
    , m_actions(std::move(actions))
    , m_group(group)
    , m_name(new ElidedLabel(truncatedToCharacters(group.taskName, nameLimit), this))
    , m_duration(new QLabel(hoursMinutesText(group.totalDuration), this)) {
    setObjectName(QStringLiteral("timeEntryGroupRow"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(6);
    layout->addWidget(new StatusBadge(group.status, this));

    m_name->setObjectName(QStringLiteral("taskName"));
    m_name->setTextFormat(Qt::PlainText);
    m_name->setFont(RowStyle::font(11));
    layout->addWidget(m_name, 1);

    m_duration->setObjectName(QStringLiteral("duration"));
    m_duration->setFont(RowStyle::monospacedFont(11));
    RowStyle::setTextColor(m_duration, RowStyle::secondaryColor(palette()));
    layout->addWidget(m_duration);
}

QString TimeEntryGroupRow::nameText() const {
    return m_name->text();
}

QString TimeEntryGroupRow::durationText() const {
    return m_duration->text();
}

TaskContextMenu* TimeEntryGroupRow::createContextMenu() {
    return m_actions.contextMenu(m_group.taskId, m_group.taskUrl);
}
