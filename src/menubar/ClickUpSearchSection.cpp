#include "menubar/ClickUpSearchSection.h"

#include "app/AppState.h"
#include "clickup/SearchState.h"
#include "menubar/ClickUpSearchResultRow.h"
#include "menubar/DisclosureHeader.h"
#include "menubar/ProgressIndicator.h"
#include "menubar/RowStyle.h"
#include "menubar/SectionLayout.h"
#include "menubar/SectionMessage.h"
#include "menubar/TagLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
constexpr int messageIndent = 16;
}

ClickUpSearchSection::ClickUpSearchSection(AppState& appState, QWidget* parent)
    : QWidget(parent)
    , m_appState(appState)
    , m_header(new DisclosureHeader(10, this))
    , m_trailingSlot(new QHBoxLayout)
    , m_body(new QVBoxLayout) {
    setObjectName(QStringLiteral("clickUpSearchSection"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    m_header->setObjectName(QStringLiteral("clickUpSearchHeader"));
    m_header->addGlyph(RowStyle::searchGlyph, 11, RowStyle::blue(palette()));
    m_header->addText(QStringLiteral("ClickUp Search"), RowStyle::font(12, QFont::DemiBold));
    m_header->row()->addStretch(1);
    m_trailingSlot->setContentsMargins(0, 0, 0, 0);
    m_header->row()->addLayout(m_trailingSlot);
    connect(m_header, &DisclosureHeader::clicked, this, [this] { setExpanded(!m_isExpanded); });
    layout->addWidget(m_header);

    m_body->setContentsMargins(0, 0, 0, 0);
    m_body->setSpacing(4);
    layout->addLayout(m_body);

    SearchState* search = m_appState.searchState();
    connect(search, &SearchState::searchTextChanged, this, &ClickUpSearchSection::redraw);
    connect(search, &SearchState::clickUpResultsChanged, this, &ClickUpSearchSection::redraw);
    connect(search, &SearchState::isSearchingChanged, this, &ClickUpSearchSection::redraw);
    connect(search, &SearchState::errorChanged, this, &ClickUpSearchSection::redraw);
    redraw();
}

void ClickUpSearchSection::setExpanded(bool expanded) {
    if (m_isExpanded != expanded) {
        m_isExpanded = expanded;
        redraw();
        emit isExpandedChanged();
    }
}

ClickUpSearchSection::Content ClickUpSearchSection::currentContent() const {
    const SearchState* search = m_appState.searchState();
    Content content;
    content.expanded = m_isExpanded;
    if (search->isSearching()) {
        content.trailing = Content::Trailing::spinner;
    } else if (!search->clickUpResults().isEmpty()) {
        content.trailing = Content::Trailing::count;
        content.count = int(search->clickUpResults().size());
    }
    if (!m_isExpanded) {
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
    m_header->setExpanded(content.expanded);
    SectionLayout::clear(m_trailingSlot);
    if (content.trailing == Content::Trailing::spinner) {
        m_trailingSlot->addWidget(new ProgressIndicator(10, m_header));
    } else if (content.trailing == Content::Trailing::count) {
        m_trailingSlot->addWidget(TagLabel::count(content.count, m_header));
    }

    SectionLayout::clear(m_body);
    switch (content.body) {
    case Content::Body::none:
        break;
    case Content::Body::searching:
        m_body->addWidget(new SectionMessage(SectionMessage::Kind::loading,
                                             QStringLiteral("Searching ClickUp..."), messageIndent, this));
        break;
    case Content::Body::noResults:
        m_body->addWidget(
            new SectionMessage(SectionMessage::Kind::plain,
                               QStringLiteral("No tasks found in ClickUp for '") + content.searchText + u'\'',
                               messageIndent, this));
        break;
    case Content::Body::rows:
        for (const ClickUpSearchResult& result : content.results) {
            m_body->addWidget(new ClickUpSearchResultRow(m_appState, result, this));
        }
        break;
    }
    if (content.error) {
        m_body->addWidget(
            new SectionMessage(SectionMessage::Kind::error, *content.error, messageIndent, this));
    }
    m_shown = std::move(content);
}
