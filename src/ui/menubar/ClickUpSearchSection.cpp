#include "ui/menubar/ClickUpSearchSection.h"

#include "services/clickup/SearchState.h"
#include "ui/kit/DisclosureHeader.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/kit/RowStyle.h"
#include "ui/kit/TagLabel.h"
#include "ui/menubar/ClickUpSearchResultRow.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

ClickUpSearchSection::ClickUpSearchSection(const SearchState& search, AvatarImageCache& pictures,
                                           TaskActions actions, QWidget* parent)
    : CollapsibleSection(
          QStringLiteral("clickUpSearch"),
          [](DisclosureHeader& header) {
              header.addGlyph(RowStyle::searchGlyph, 11, RowStyle::blue(header.palette()));
              header.addText(QStringLiteral("ClickUp Search"), RowStyle::font(12, QFont::DemiBold));
          },
          parent)
    , m_search(search)
    , m_pictures(pictures)
    , m_actions(std::move(actions)) {
    connect(&m_search, &SearchState::searchTextChanged, this, &ClickUpSearchSection::redraw);
    connect(&m_search, &SearchState::clickUpResultsChanged, this, &ClickUpSearchSection::redraw);
    connect(&m_search, &SearchState::isSearchingChanged, this, &ClickUpSearchSection::redraw);
    connect(&m_search, &SearchState::errorChanged, this, &ClickUpSearchSection::redraw);
    redraw();
}

ClickUpSearchSection::Content ClickUpSearchSection::currentContent() const {
    Content content;
    content.expanded = isExpanded();
    if (m_search.isSearching()) {
        content.trailing = Content::Trailing::spinner;
    } else if (!m_search.clickUpResults().isEmpty()) {
        content.trailing = Content::Trailing::count;
        content.count = int(m_search.clickUpResults().size());
    }
    if (!isExpanded()) {
        return content;
    }
    if (m_search.isSearching()) {
        content.body = Content::Body::searching;
    } else if (m_search.clickUpResults().isEmpty() && !m_search.error()) {
        content.body = Content::Body::noResults;
        content.searchText = m_search.searchText();
    } else {
        content.body = Content::Body::rows;
        content.results = m_search.clickUpResults();
    }
    if (m_search.error()) {
        content.error = m_search.error()->description();
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
            body()->addWidget(new ClickUpSearchResultRow(m_actions, m_pictures, result, this));
        }
        break;
    }
    if (content.error) {
        addMessage(SectionMessage::Kind::error, *content.error);
    }
    m_shown = std::move(content);
}
