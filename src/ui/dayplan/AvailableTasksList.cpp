#include "ui/dayplan/AvailableTasksList.h"

#include "services/clickup/SearchState.h"
#include "services/clickup/TaskNameCleaner.h"
#include "services/dayplan/DayPlanText.h"
#include "services/dayplan/DayPlanningState.h"
#include "services/tools/PlanningState.h"
#include "ui/clickup/MenuBarAssigneeIconsView.h"
#include "ui/clickup/StatusBadge.h"
#include "ui/dayplan/DayPlanTaskRow.h"
#include "ui/dayplan/DayPlanningSearchSection.h"
#include "ui/kit/PopoverStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
QLabel* label(const QString& text, qreal size, QColor color, QWidget* parent,
              QFont::Weight weight = QFont::Normal) {
    auto* widget = new QLabel(text, parent);
    widget->setFont(PopoverStyle::font(size, weight));
    PopoverStyle::setTextColor(widget, color);
    return widget;
}
} // namespace

AvailableTasksList::AvailableTasksList(DayPlanningSources sources, QWidget* parent)
    : QWidget(parent)
    , m_sources(std::move(sources))
    , m_dayPlan(m_sources.dayPlan) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_filter = new QLineEdit(this);
    m_filter->setPlaceholderText(u"Search tasks..."_s);
    m_filter->setClearButtonEnabled(true);
    layout->addWidget(PopoverStyle::padded(m_filter, 12, 8, 8, this));
    layout->addWidget(PopoverStyle::divider(this));

    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto* inner = new QWidget(scroll);
    auto* innerLayout = new QVBoxLayout(inner);
    innerLayout->setContentsMargins(0, 8, 0, 8);
    innerLayout->setSpacing(0);
    m_body = new QWidget(inner);
    m_bodyLayout = new QVBoxLayout(m_body);
    m_bodyLayout->setContentsMargins(0, 0, 0, 0);
    m_bodyLayout->setSpacing(0);
    innerLayout->addWidget(m_body);
    m_searchSection = new DayPlanningSearchSection(m_sources.search, m_dayPlan, m_sources.pictures,
                                                   DayPlanningState::defaultTaskDuration, inner);
    innerLayout->addWidget(m_searchSection);
    innerLayout->addStretch();
    scroll->setWidget(inner);
    layout->addWidget(scroll, 1);

    connect(m_filter, &QLineEdit::textChanged, this, &AvailableTasksList::onFilterChanged);
    connect(&m_sources.planning, &PlanningState::weekPlansChanged, this, &AvailableTasksList::rebuild);
    connect(&m_sources.planning, &PlanningState::isLoadingChanged, this, &AvailableTasksList::rebuild);
    connect(&m_dayPlan, &DayPlanningState::taskAssigneesChanged, this, &AvailableTasksList::rebuild);
    rebuild();
}

void AvailableTasksList::onFilterChanged(const QString& text) {
    SearchState& search = m_sources.search;
    search.setSearchText(text);
    if (text.size() >= 3) {
        search.searchTextDidChange(m_sources.teamId());
    } else if (text.isEmpty()) {
        search.clearSearch();
    }
    rebuild();
}

QStringList AvailableTasksList::shownTexts() const {
    QStringList texts;
    for (const QLabel* text : m_body->findChildren<QLabel*>(u"text"_s)) {
        texts.append(text->text());
    }
    return texts;
}

void AvailableTasksList::rebuild() {
    while (QLayoutItem* item = m_bodyLayout->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            // Out of the tree at once, deleted later: a row may be the sender of what rebuilds.
            widget->hide();
            widget->setParent(nullptr);
            widget->deleteLater();
        }
        delete item;
    }
    const QString filter = m_filter->text();
    m_searchSection->setVisible(filter.size() >= 3);
    const QColor secondary = PopoverStyle::secondaryText(palette());
    auto addText = [this](QLabel* text) {
        text->setObjectName(u"text"_s);
        text->setAlignment(Qt::AlignCenter);
        text->setWordWrap(true);
        m_bodyLayout->addWidget(text);
    };
    if (m_sources.planning.isLoading()) {
        addText(label(u"Loading planning..."_s, 12, secondary, m_body));
        return;
    }
    QList<PlanningTask> tasks;
    for (const PlanningTask& task : m_dayPlan.availableTasks()) {
        if (filter.isEmpty() || cleanTaskName(task.name).contains(filter, Qt::CaseInsensitive) ||
            task.clickUpTaskId.contains(filter, Qt::CaseInsensitive)) {
            tasks.append(task);
        }
    }
    if (tasks.isEmpty() && filter.size() <= 2) {
        addText(label(u"No tasks available"_s, 13, secondary, m_body));
        addText(label(u"Tasks from your current week planning will appear here"_s, 11,
                      PopoverStyle::tertiaryText(palette()), m_body));
        return;
    }
    // QMap orders the clients by UTF-16 code units, which for these names is code-point order.
    const QMap<QString, QList<PlanningTask>> groups = PlanningTask::groupByClient(tasks);
    for (auto group = groups.cbegin(); group != groups.cend(); ++group) {
        QLabel* header = label(group.key().isEmpty() ? u"No Client"_s : group.key(), 11, secondary, m_body,
                               QFont::DemiBold);
        header->setObjectName(u"text"_s);
        header->setContentsMargins(12, 6, 12, 6);
        m_bodyLayout->addWidget(header);
        for (const PlanningTask& task : group.value()) {
            const PlanningTask added = task;
            const QString name = DayPlanningState::listedName(task);
            auto* row = new DayPlanTaskRow(
                DraggableTask{task.clickUpTaskId, name, task.clientName(),
                              DayPlanningState::defaultTaskDuration},
                PopoverStyle::accent(palette()),
                [this, added] {
                    const double duration = DayPlanningState::defaultTaskDuration;
                    m_dayPlan.addPlannedEntry(added, m_dayPlan.nextAvailableStartTime(duration), duration);
                },
                m_body);
            QLabel* title = label(name, 12, PopoverStyle::primaryText(palette()), row);
            title->setObjectName(u"text"_s);
            title->setWordWrap(true);
            row->content()->addWidget(title);
            auto* details = new QHBoxLayout;
            details->setSpacing(8);
            details->addWidget(new StatusBadge(task.taskStatus(), row));
            const QList<ClickUpAssignee> assignees = m_dayPlan.taskAssignees().value(task.clickUpTaskId);
            if (!assignees.isEmpty()) {
                details->addWidget(new MenuBarAssigneeIconsView(assignees, 16, m_sources.pictures, row));
            }
            if (task.totalHours() > 0) {
                details->addWidget(
                    label(u"◷ "_s + DayPlanText::plannedHoursText(task.totalHours()), 10, secondary, row));
            }
            details->addStretch();
            row->content()->addLayout(details);
            m_bodyLayout->addWidget(row);
        }
    }
}

QSize AvailableTasksList::sizeHint() const {
    return QSize(preferredWidth, QWidget::sizeHint().height());
}
