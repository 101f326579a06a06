#pragma once

#include "ui/kit/SectionMessage.h"

#include <QWidget>

#include <functional>

class DisclosureHeader;
class QHBoxLayout;
class QVBoxLayout;

// A collapsible block of the popover: a DisclosureHeader (the chevron, the block's title, then a
// slot at the end of the row for a count or a spinner) above the block's body. isExpanded starts
// true and a click on the header toggles it; every change redraws the block through redraw().
class CollapsibleSection : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool isExpanded READ isExpanded WRITE setExpanded NOTIFY isExpandedChanged)

public:
    bool isExpanded() const { return m_isExpanded; }
    void setExpanded(bool expanded);

Q_SIGNALS:
    void isExpandedChanged();

protected:
    // `name` names the block ("<name>Section") and its header ("<name>Header"); addTitle puts the
    // title into the header's row.
    CollapsibleSection(const QString& name, const std::function<void(DisclosureHeader&)>& addTitle,
                       QWidget* parent);

    // Draws the block from its state again (when what it shows has changed).
    virtual void redraw() = 0;

    DisclosureHeader* header() const { return m_header; }
    // Emptied by clearForRedraw(); the block adds its count or spinner here.
    QHBoxLayout* trailingSlot() const { return m_trailingSlot; }
    // Emptied by clearForRedraw(); the block adds its rows and lines here.
    QVBoxLayout* body() const { return m_body; }

    // Sets the header's chevron and empties the trailing slot and the body.
    void clearForRedraw(bool expanded);
    // Adds a line of the kind to the body, indented as the block's rows.
    void addMessage(SectionMessage::Kind kind, const QString& text);

private:
    bool m_isExpanded = true;
    DisclosureHeader* m_header;
    QHBoxLayout* m_trailingSlot;
    QVBoxLayout* m_body;
};
