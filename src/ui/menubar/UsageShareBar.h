#pragma once

#include <QColor>
#include <QWidget>

// A thin horizontal bar: a faint track across the full width and a fill whose width is the share
// (0 to 1; more is drawn as full, less than 0 as empty).
class UsageShareBar : public QWidget {
    Q_OBJECT

public:
    explicit UsageShareBar(double share, const QColor& color, QWidget* parent = nullptr);

    double share() const { return m_share; }
    // The fill's width at the bar's current width.
    int fillWidth() const;
    QSize sizeHint() const override { return {60, 6}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_share;
    QColor m_color;
};
