#include "ui/menubar/WorklogSection.h"

#include "services/AppState.h"
#include "services/clickup/SearchState.h"
#include "services/clickup/WorklogState.h"
#include "ui/kit/DisclosureHeader.h"
#include "ui/kit/RowStyle.h"
#include "ui/kit/TagLabel.h"
#include "ui/menubar/TimeEntryGroupRow.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

WorklogSection::WorklogSection(AppState& appState, QWidget* parent)
    : CollapsibleSection(
          QStringLiteral("worklog"),
          [](DisclosureHeader& header) {
              header.addText(QStringLiteral("Worked on (today)"), RowStyle::font(12, QFont::DemiBold));
          },
          parent)
    , m_appState(appState) {
    WorklogState* worklog = m_appState.worklogState();
    connect(worklog, &WorklogState::timeEntriesChanged, this, &WorklogSection::redraw);
    connect(worklog, &WorklogState::isLoadingChanged, this, &WorklogSection::redraw);
    connect(worklog, &WorklogState::errorChanged, this, &WorklogSection::redraw);
    connect(m_appState.searchState(), &SearchState::searchTextChanged, this, &WorklogSection::redraw);
    redraw();
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
    content.expanded = isExpanded();
    if (!filtered.isEmpty()) {
        content.count = int(filtered.size());
    }
    if (!isExpanded()) {
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
            body()->addWidget(new TimeEntryGroupRow(m_appState, group, this));
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
