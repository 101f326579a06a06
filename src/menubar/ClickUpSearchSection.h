#pragma once

#include "clickup/ClickUpSearchResult.h"

#include <QWidget>

#include <optional>

class AppState;
class DisclosureHeader;
class QHBoxLayout;
class QVBoxLayout;

// The results of the popover's ClickUp task search, as the search state holds them: a collapsible
// block headed "ClickUp Search" with a progress indicator while a search runs, else the number of
// results; below it a searching line, a no-results line or one row per result, and the search's
// error. It only shows the state; it never starts a search. Collapsing hides all but the header.
class ClickUpSearchSection : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool isExpanded READ isExpanded WRITE setExpanded NOTIFY isExpandedChanged)

public:
    explicit ClickUpSearchSection(AppState& appState, QWidget* parent = nullptr);

    bool isExpanded() const { return m_isExpanded; }
    void setExpanded(bool expanded);

Q_SIGNALS:
    void isExpandedChanged();

private:
    struct Content {
        enum class Trailing { none, spinner, count };
        enum class Body { none, searching, noResults, rows };
        bool expanded = true;
        Trailing trailing = Trailing::none;
        int count = 0;
        Body body = Body::none;
        QString searchText;
        QList<ClickUpSearchResult> results;
        std::optional<QString> error;
        bool operator==(const Content&) const = default;
    };

    Content currentContent() const;
    void redraw();

    AppState& m_appState;
    bool m_isExpanded = true;
    std::optional<Content> m_shown;
    DisclosureHeader* m_header;
    QHBoxLayout* m_trailingSlot;
    QVBoxLayout* m_body;
};
