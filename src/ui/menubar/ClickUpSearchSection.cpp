#include "ui/menubar/ClickUpSearchSection.h"

#include "services/AppState.h"
#include "services/clickup/SearchState.h"
#include "ui/kit/DisclosureHeader.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/kit/RowStyle.h"
#include "ui/kit/TagLabel.h"
#include "ui/menubar/ClickUpSearchResultRow.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

ClickUpSearchSection::ClickUpSearchSection(AppState& appState, QWidget* parent)
    : CollapsibleSection(
          QStringLiteral("clickUpSearch"),
          [](DisclosureHeader& header) {
              header.addGlyph(RowStyle::searchGlyph, 11, RowStyle::blue(header.palette()));
              header.addText(QStringLiteral("ClickUp Search"), RowStyle::font(12, QFont::DemiBold));
          },
          parent)
    , m_appState(appState) {
    SearchState* search = m_appState.searchState();
    connect(search, &SearchState::searchTextChanged, this, &ClickUpSearchSection::redraw);
    connect(search, &SearchState::clickUpResultsChanged, this, &ClickUpSearchSection::redraw);
    connect(search, &SearchState::isSearchingChanged, this, &ClickUpSearchSection::redraw);
    connect(search, &SearchState::errorChanged, this, &ClickUpSearchSection::redraw);
    redraw();
}

ClickUpSearchSection::Content ClickUpSearchSection::currentContent() const {
    const SearchState* search = m_appState.searchState();
    Content content;
    content.expanded = isExpanded();
    if (search->isSearching()) {
        content.trailing = Content::Trailing::spinner;
    } else if (!search->clickUpResults().isEmpty()) {
        content.trailing = Content::Trailing::count;
        content.count = int(search->clickUpResults().size());
    }
    if (!isExpanded()) {
        return content;
    }
    if (search->isSearching()) {
        content.body = Content::Body::searching;
    } else if (search->clickUpResults().isEmpty() && !search->error()) {
        content.body = Content::Body::noResults;
        content.searchText = search->searchText();
    } else {
        content.body = Content::Body::rows;
        content.results = search->clickUpResults();
    }
    if (search->error()) {
        content.error = search->error()->description();
    }
    return content;
}

void ClickUpSearchSection::redraw() {
    Content content = currentContent();
    if (m_shown && *m_shown == content) {
        return;
    }
    clearForRedraw(content.expanded);
    if (content.trailing == Content::Trailing::spinner) {
        trailingSlot()->addWidget(new ProgressIndicator(10, header()));
    } else if (content.trailing == Content::Trailing::count) {
        trailingSlot()->addWidget(TagLabel::count(content.count, header()));
    }

    switch (content.body) {
    case Content::Body::none:
        break;
    case Content::Body::searching:
        addMessage(SectionMessage::Kind::loading, QStringLiteral("Searching ClickUp..."));
        break;
    case Content::Body::noResults:
        addMessage(SectionMessage::Kind::plain,
                   QStringLiteral("No tasks found in ClickUp for '") + content.searchText + u'\'');
        break;
    case Content::Body::rows:
        for (const ClickUpSearchResult& result : content.results) {
            body()->addWidget(new ClickUpSearchResultRow(m_appState, result, this));
        }
        break;
    }
    if (content.error) {
        addMessage(SectionMessage::Kind::error, *content.error);
    }
    m_shown = std::move(content);
}
