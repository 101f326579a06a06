#pragma once

#include "ui/reports/UsageRowList.h"

#include <QFrame>

class EmptyBreakdownView;
class QLabel;
class QVBoxLayout;

// One card of the dashboard's breakdown grid: a header of a symbol and a title above the card's
// content, padded by 12, on a faint rounded background.
class BreakdownCard : public QFrame {
    Q_OBJECT

public:
    BreakdownCard(const QString& title, const QString& iconName, QWidget* parent = nullptr);

    QString title() const;
    QString iconName() const { return m_iconName; }
    QWidget* content() const { return m_content; }
    // The card's list, or none when it shows its empty message; the empty message, or none.
    UsageRowList* rowList() const;
    EmptyBreakdownView* emptyView() const;

protected:
    // Puts the content below the header (once).
    void setContent(QWidget* content);
    // A list of the rows, or the empty message when there are none.
    void setRows(UsageRowList::Style style, QList<UsageRowList::Row> rows, const QColor& markerColor,
                 const QString& emptyMessage);
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_iconName;
    QLabel* m_title;
    QVBoxLayout* m_layout;
    QWidget* m_content = nullptr;
};
