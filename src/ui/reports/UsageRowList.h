#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QWidget>

// The rows of a breakdown card, drawn in one widget so that a day with thousands of sites, paths or
// contexts builds and lays out at once: a duration column 50 wide with its text at the trailing
// edge, a marker (a coloured dot or a small icon, none for contexts) and a one-line text cut with an
// ellipsis; hovering a row shows its tool tip.
class UsageRowList : public QWidget {
    Q_OBJECT

public:
    enum class Style {
        dot,    // 11-px monospaced duration, 6-px dot, 12-px text, 6 between rows
        icon,   // as dot, with a 10-px icon in a 16-wide frame in place of the dot
        context // indented by 8: 10-px tertiary duration, 10-px secondary text, 2 between rows
    };
    struct Row {
        QString duration;
        QString text;
        QString toolTip;  // none when empty
        QString iconName; // Style::icon only
    };

    UsageRowList(Style style, QList<Row> rows, const QColor& markerColor, QWidget* parent = nullptr);

    qsizetype rowCount() const { return m_rows.size(); }
    const Row& row(qsizetype index) const { return m_rows[index]; }
    // The row's area in the widget, and the row under a point (-1 for none).
    QRect rowRect(qsizetype index) const;
    qsizetype rowAt(const QPoint& point) const;
    // The text as drawn at the present width (cut with an ellipsis when it does not fit).
    QString drawnText(qsizetype index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int rowHeight() const { return m_rowHeight; }
    int spacing() const;
    QRect textRect(qsizetype index) const;
    QPixmap icon(const QString& name);

    Style m_style;
    QList<Row> m_rows;
    QColor m_markerColor;
    QFont m_durationFont;
    QFont m_textFont;
    int m_rowHeight = 0;
    QHash<QString, QPixmap> m_icons;
};
