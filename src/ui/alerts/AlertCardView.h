#pragma once

#include <QBrush>
#include <QFont>
#include <QWidget>

// The common face of the reminder windows' content: a rounded card in the window colour with a
// coloured border stroked inside its edge, and a hover flag the views react to.
class AlertCardView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool hovering READ isHovering NOTIFY hoveringChanged)

public:
    AlertCardView(qreal cornerRadius, qreal borderWidth, QWidget* parent = nullptr);

    qreal cornerRadius() const { return m_cornerRadius; }
    // The card's fill: the window colour, slightly see-through where the window is translucent.
    QColor cardColor() const;
    bool isHovering() const { return m_hovering; }

    // The popover's font at a design size and weight (PopoverStyle::font).
    static QFont font(int designSize, QFont::Weight weight = QFont::Normal);

Q_SIGNALS:
    void hoveringChanged(bool hovering);

protected:
    // The brush of the border, for the card's rectangle.
    virtual QBrush borderBrush(const QRectF& card) const = 0;

    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setHovering(bool hovering);

    qreal m_cornerRadius;
    qreal m_borderWidth;
    bool m_hovering = false;
};
