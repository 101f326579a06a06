#include "ui/dayplan/DayPlanningSearchSection.h"

#include "services/clickup/SearchState.h"
#include "services/dayplan/DayPlanningState.h"
#include "ui/clickup/MenuBarAssigneeIconsView.h"
#include "ui/clickup/StatusBadge.h"
#include "ui/dayplan/DayPlanTaskRow.h"
#include "ui/kit/PopoverStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
QLabel* label(const QString& text, qreal size, QColor color, QWidget* parent) {
    auto* widget = new QLabel(text, parent);
    widget->setFont(PopoverStyle::font(size));
    PopoverStyle::setTextColor(widget, color);
    return widget;
}
} // namespace

DayPlanningSearchSection::DayPlanningSearchSection(SearchState& search, DayPlanningState& dayPlan,
                                                   AvatarImageCache& pictures, double duration,
                                                   QWidget* parent)
    : QWidget(parent)
    , m_search(search)
    , m_dayPlan(dayPlan)
    , m_pictures(pictures)
    , m_duration(duration) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* headerRow = new QHBoxLayout;
    headerRow->setContentsMargins(12, 6, 12, 6);
    m_header = new QToolButton(this);
    m_header->setAutoRaise(true);
    m_header->setFont(PopoverStyle::font(12, QFont::DemiBold));
    m_count = label(QString(), 10, PopoverStyle::secondaryText(palette()), this);
    headerRow->addWidget(m_header);
    headerRow->addStretch();
    headerRow->addWidget(m_count);
    layout->addLayout(headerRow);
    m_content = new QWidget(this);
    m_contentLayout = new QVBoxLayout(m_content);
    m_contentLayout->setContentsMargins(0, 0, 0, 0);
    m_contentLayout->setSpacing(0);
    layout->addWidget(m_content);

    connect(m_header, &QToolButton::clicked, this, [this] { setExpanded(!m_expanded); });
    for (auto signal : {&SearchState::clickUpResultsChanged, &SearchState::isSearchingChanged,
                        &SearchState::errorChanged, &SearchState::searchTextChanged}) {
        connect(&m_search, signal, this, &DayPlanningSearchSection::rebuild);
    }
    rebuild();
}

void DayPlanningSearchSection::setExpanded(bool expanded) {
    m_expanded = expanded;
    rebuild();
}

QStringList DayPlanningSearchSection::contentTexts() const {
    QStringList texts;
    for (const QLabel* text : m_content->findChildren<QLabel*>(u"text"_s)) {
        texts.append(text->text());
    }
    return texts;
}

void DayPlanningSearchSection::rebuild() {
    m_header->setText((m_expanded ? u"▾ "_s : u"▸ "_s) + u"ClickUp Search"_s);
    const QList<ClickUpSearchResult>& results = m_search.clickUpResults();
    if (m_search.isSearching()) {
        m_count->setText(u"…"_s);
    } else {
        m_count->setText(results.isEmpty() ? QString() : QString::number(results.size()));
    }
    m_count->setVisible(!m_count->text().isEmpty());

    while (QLayoutItem* item = m_contentLayout->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            // Out of the tree at once, deleted later: a row may be the sender of what rebuilds.
            widget->hide();
            widget->setParent(nullptr);
            widget->deleteLater();
        }
        delete item;
    }
    m_content->setVisible(m_expanded);
    if (!m_expanded) {
        return;
    }
    const QColor secondary = PopoverStyle::secondaryText(palette());
    auto addText = [this](QLabel* text) {
        text->setObjectName(u"text"_s);
        text->setContentsMargins(12, 4, 12, 4);
        text->setWordWrap(true);
        m_contentLayout->addWidget(text);
    };
    if (m_search.isSearching()) {
        addText(label(u"Searching ClickUp..."_s, 11, secondary, m_content));
    } else if (results.isEmpty() && !m_search.error()) {
        addText(label(u"No tasks found in ClickUp for '"_s + m_search.searchText() + u"'"_s, 11, secondary,
                      m_content));
    } else {
        for (const ClickUpSearchResult& result : results) {
            const ClickUpSearchResult added = result;
            auto* row = new DayPlanTaskRow(
                DraggableTask{result.id, result.name, result.listName, m_duration},
                PopoverStyle::green(palette()),
                [this, added] { m_dayPlan.addSearchResult(added, m_duration); }, m_content);
            auto* line = new QHBoxLayout;
            line->setSpacing(8);
            line->addWidget(new StatusBadge(result.status, row));
            auto* texts = new QVBoxLayout;
            texts->setSpacing(2);
            QLabel* name = label(result.name, 12, PopoverStyle::primaryText(palette()), row);
            name->setObjectName(u"text"_s);
            name->setWordWrap(true);
            name->setToolTip(result.name);
            texts->addWidget(name);
            auto* details = new QHBoxLayout;
            details->setSpacing(6);
            details->addWidget(label(result.listName, 10, PopoverStyle::tertiaryText(palette()), row));
            if (!result.assignees.isEmpty()) {
                details->addWidget(new MenuBarAssigneeIconsView(result.assignees, 16, m_pictures, row));
            }
            details->addWidget(label(result.id.left(8), 9, secondary, row));
            details->addStretch();
            texts->addLayout(details);
            line->addLayout(texts, 1);
            row->content()->addLayout(line);
            m_contentLayout->addWidget(row);
        }
    }
    if (m_search.error()) {
        addText(label(u"⚠ "_s + m_search.error()->description(), 10, secondary, m_content));
    }
}
