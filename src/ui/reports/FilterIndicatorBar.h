#pragma once

#include <QDateTime>
#include <QWidget>

class QLabel;
class QToolButton;

// The bar above the dashboard's timeline while a time range is set: a filter symbol, "Filter: "
// with the range's start and end as "HH:mm", and a "Clear" button, on a faint accent background.
class FilterIndicatorBar : public QWidget {
    Q_OBJECT

public:
    explicit FilterIndicatorBar(QWidget* parent = nullptr);

    void setRange(const QDateTime& start, const QDateTime& end);
    QString text() const;
    QToolButton* clearButton() const { return m_clear; }

Q_SIGNALS:
    void clearRequested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_text;
    QToolButton* m_clear;
};
