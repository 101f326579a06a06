#pragma once

#include "menubar/TimeEntryGroup.h"

#include <QWidget>

#include <optional>

class AppState;
class DisclosureHeader;
class QHBoxLayout;
class QVBoxLayout;

// Today's worked-on tasks: a collapsible block headed "Worked on (today)" with the number of
// matching entries, one row per task (grouped from the worklog, narrowed by the popover's filter
// text), or a loading, no-match or empty line, and below them the worklog's last error. It follows
// the worklog and search states as they change.
class WorklogSection : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool isExpanded READ isExpanded WRITE setExpanded NOTIFY isExpandedChanged)

public:
    explicit WorklogSection(AppState& appState, QWidget* parent = nullptr);

    bool isExpanded() const { return m_isExpanded; }
    void setExpanded(bool expanded);

    // The groups of the entries matching the current filter text, in display order.
    QList<TimeEntryGroup> groupedEntries() const;

Q_SIGNALS:
    void isExpandedChanged();

private:
    // Everything the section shows; it is redrawn only when this changes.
    struct Content {
        enum class Body { none, loading, rows, noMatch, empty };
        bool expanded = true;
        std::optional<int> count;
        Body body = Body::none;
        QList<TimeEntryGroup> groups;
        QString searchText;
        std::optional<QString> error;
        bool operator==(const Content&) const = default;
    };

    Content currentContent() const;
    void redraw();

    AppState& m_appState;
    bool m_isExpanded = true;
    std::optional<Content> m_shown;
    DisclosureHeader* m_header;
    QHBoxLayout* m_badgeSlot;
    QVBoxLayout* m_body;
};
