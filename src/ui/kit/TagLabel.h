#pragma once

#include <QLabel>
#include <QMargins>

// A short text in secondary colour on a rounded patch of the secondary colour: the count badges of
// the section headers (a capsule) and the short task ids of the search results.
class TagLabel : public QLabel {
    Q_OBJECT

public:
    // cornerRadius < 0: a capsule.
    TagLabel(const QString& text, qreal pointSize, QMargins padding, qreal fillOpacity, qreal cornerRadius,
             QWidget* parent = nullptr);

    // A count of a section header: 10 pt, padded 6 pt across and 2 pt down, on the secondary
    // colour at opacity 0.2, in a capsule.
    static TagLabel* count(int value, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QMargins m_padding;
    qreal m_fillOpacity;
    qreal m_cornerRadius;
};
