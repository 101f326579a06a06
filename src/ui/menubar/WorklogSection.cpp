#include "ui/menubar/WorklogSection.h"

#include "services/clickup/SearchState.h"
#include "services/clickup/WorklogState.h"
#include "ui/kit/DisclosureHeader.h"
#include "ui/kit/RowStyle.h"
#include "ui/kit/TagLabel.h"
#include "ui/menubar/TimeEntryGroupRow.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

WorklogSection::WorklogSection(const WorklogState& worklog, const SearchState& search, TaskActions actions,
                               QWidget* parent)
    : CollapsibleSection(
          QStringLiteral("worklog"),
          [](DisclosureHeader& header) {
              header.addText(QStringLiteral("Worked on (today)"), RowStyle::font(12, QFont::DemiBold));
          },
          parent)
    , m_worklog(worklog)
    , m_search(search)
    , m_actions(std::move(actions)) {
    connect(&m_worklog, &WorklogState::timeEntriesChanged, this, &WorklogSection::redraw);
    connect(&m_worklog, &WorklogState::isLoadingChanged, this, &WorklogSection::redraw);
    connect(&m_worklog, &WorklogState::errorChanged, this, &WorklogSection::redraw);
    connect(&m_search, &SearchState::searchTextChanged, this, &WorklogSection::redraw);
    redraw();
}

QList<TimeEntryGroup> WorklogSection::groupedEntries() const {
    return TimeEntryGroup::makeGroups(m_worklog.filteredEntries(m_search.searchText()));
}

WorklogSection::Content WorklogSection::currentContent() const {
    const QString searchText = m_search.searchText();
    const QList<TimeEntry> filtered = m_worklog.filteredEntries(searchText);

    Content content;
    content.expanded = isExpanded();
    if (!filtered.isEmpty()) {
        content.count = int(filtered.size());
    }
    if (!isExpanded()) {
        return content;
    }
    if (m_worklog.isLoading() && m_worklog.timeEntries().isEmpty()) {
        content.body = Content::Body::loading;
    } else if (!filtered.isEmpty()) {
        content.body = Content::Body::rows;
        content.groups = TimeEntryGroup::makeGroups(filtered);
    } else if (!searchText.isEmpty() && !m_worklog.timeEntries().isEmpty()) {
        content.body = Content::Body::noMatch;
        content.searchText = searchText;
    } else {
        content.body = Content::Body::empty;
    }
    if (m_worklog.error()) {
        content.error = m_worklog.error()->description();
    }
    return content;
}

void WorklogSection::redraw() {
    Content content = currentContent();
    if (m_shown && *m_shown == content) {
        return;
    }
    clearForRedraw(content.expanded);
    if (content.count) {
        trailingSlot()->addWidget(TagLabel::count(*content.count, header()));
    }

    switch (content.body) {
    case Content::Body::none:
        break;
    case Content::Body::loading:
        addMessage(SectionMessage::Kind::loading, QStringLiteral("Loading..."));
        break;
    case Content::Body::rows:
        for (const TimeEntryGroup& group : content.groups) {
            body()->addWidget(new TimeEntryGroupRow(m_actions, group, this));
        }
        break;
    case Content::Body::noMatch:
        addMessage(SectionMessage::Kind::plain,
                   QStringLiteral("No entries match '") + content.searchText + u'\'');
        break;
    case Content::Body::empty:
        addMessage(SectionMessage::Kind::plain, QStringLiteral("No time entries today"));
        break;
    }
    if (content.error) {
        addMessage(SectionMessage::Kind::error, *content.error);
    }
    m_shown = std::move(content);
}
