#pragma once

#include <QAbstractButton>
#include <QColor>

#include <optional>

class QHBoxLayout;
class QLabel;

// The header of a collapsible block: a flat button whose label is a row starting with a chevron
// (down while expanded, right while collapsed), followed by what the block puts there. A click
// emits clicked(); the block decides what opens.
class DisclosureHeader : public QAbstractButton {
    Q_OBJECT

public:
    explicit DisclosureHeader(qreal chevronPointSize, QWidget* parent = nullptr);

    bool isExpanded() const { return m_expanded; }
    void setExpanded(bool expanded);

    // The row after the chevron.
    QHBoxLayout* row() const { return m_row; }
    // Adds a label in the given font and colour (none: the palette's text colour) and returns it.
    QLabel* addText(const QString& text, const QFont& font, std::optional<QColor> color = std::nullopt);
    // Adds a one-colour glyph at the point size.
    QLabel* addGlyph(const QString& iconName, qreal pointSize, const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateChevron();

    qreal m_chevronPointSize;
    bool m_expanded = true;
    QLabel* m_chevron;
    QHBoxLayout* m_row;
};
