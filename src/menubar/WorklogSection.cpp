#include "menubar/WorklogSection.h"

#include "app/AppState.h"
#include "clickup/SearchState.h"
#include "clickup/WorklogState.h"
#include "menubar/DisclosureHeader.h"
#include "menubar/RowStyle.h"
#include "menubar/SectionLayout.h"
#include "menubar/SectionMessage.h"
#include "menubar/TagLabel.h"
#include "menubar/TimeEntryGroupRow.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
constexpr int messageIndent = 16;
}

WorklogSection::WorklogSection(AppState& appState, QWidget* parent)
    : QWidget(parent)
    , m_appState(appState)
    , m_header(new DisclosureHeader(10, this))
    , m_badgeSlot(new QHBoxLayout)
    , m_body(new QVBoxLayout) {
    setObjectName(QStringLiteral("worklogSection"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    m_header->setObjectName(QStringLiteral("worklogHeader"));
    m_header->addText(QStringLiteral("Worked on (today)"), RowStyle::font(12, QFont::DemiBold));
    m_header->row()->addStretch(1);
    m_badgeSlot->setContentsMargins(0, 0, 0, 0);
    m_header->row()->addLayout(m_badgeSlot);
    connect(m_header, &DisclosureHeader::clicked, this, [this] { setExpanded(!m_isExpanded); });
    layout->addWidget(m_header);

    m_body->setContentsMargins(0, 0, 0, 0);
    m_body->setSpacing(4);
    layout->addLayout(m_body);

    WorklogState* worklog = m_appState.worklogState();
    connect(worklog, &WorklogState::timeEntriesChanged, this, &WorklogSection::redraw);
    connect(worklog, &WorklogState::isLoadingChanged, this, &WorklogSection::redraw);
    connect(worklog, &WorklogState::errorChanged, this, &WorklogSection::redraw);
    connect(m_appState.searchState(), &SearchState::searchTextChanged, this, &WorklogSection::redraw);
    redraw();
}

void WorklogSection::setExpanded(bool expanded) {
    if (m_isExpanded != expanded) {
        m_isExpanded = expanded;
        redraw();
        emit isExpandedChanged();
    }
}

QList<TimeEntryGroup> WorklogSection::groupedEntries() const {
    return TimeEntryGroup::makeGroups(
        m_appState.worklogState()->filteredEntries(m_appState.searchState()->searchText()));
}

WorklogSection::Content WorklogSection::currentContent() const {
    const WorklogState* worklog = m_appState.worklogState();
    const QString searchText = m_appState.searchState()->searchText();
    const QList<TimeEntry> filtered = worklog->filteredEntries(searchText);

    Content content;
    content.expanded = m_isExpanded;
    if (!filtered.isEmpty()) {
        content.count = int(filtered.size());
    }
    if (!m_isExpanded) {
        return content;
    }
    if (worklog->isLoading() && worklog->timeEntries().isEmpty()) {
        content.body = Content::Body::loading;
    } else if (!filtered.isEmpty()) {
        content.body = Content::Body::rows;
        content.groups = TimeEntryGroup::makeGroups(filtered);
    } else if (!searchText.isEmpty() && !worklog->timeEntries().isEmpty()) {
        content.body = Content::Body::noMatch;
        content.searchText = searchText;
    } else {
        content.body = Content::Body::empty;
    }
    if (worklog->error()) {
        content.error = worklog->error()->description();
    }
    return content;
}

void WorklogSection::redraw() {
    Content content = currentContent();
    if (m_shown && *m_shown == content) {
        return;
    }
    m_header->setExpanded(content.expanded);
    SectionLayout::clear(m_badgeSlot);
    if (content.count) {
        m_badgeSlot->addWidget(TagLabel::count(*content.count, m_header));
    }

    SectionLayout::clear(m_body);
    switch (content.body) {
    case Content::Body::none:
        break;
    case Content::Body::loading:
        m_body->addWidget(new SectionMessage(SectionMessage::Kind::loading, QStringLiteral("Loading..."),
                                             messageIndent, this));
        break;
    case Content::Body::rows:
        for (const TimeEntryGroup& group : content.groups) {
            m_body->addWidget(new TimeEntryGroupRow(m_appState, group, this));
        }
        break;
    case Content::Body::noMatch:
        m_body->addWidget(new SectionMessage(
            SectionMessage::Kind::plain, QStringLiteral("No entries match '") + content.searchText + u'\'',
            messageIndent, this));
        break;
    case Content::Body::empty:
        m_body->addWidget(new SectionMessage(SectionMessage::Kind::plain,
                                             QStringLiteral("No time entries today"), messageIndent, this));
        break;
    }
    if (content.error) {
        m_body->addWidget(
            new SectionMessage(SectionMessage::Kind::error, *content.error, messageIndent, this));
    }
    m_shown = std::move(content);
}
