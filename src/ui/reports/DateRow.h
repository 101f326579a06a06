#pragma once

#include <QDate>
#include <QPushButton>

// One day of the report's day list: "Today" for the current day, the long date otherwise; tinted
// while selected. A click emits clicked().
class DateRow : public QPushButton {
    Q_OBJECT

public:
    DateRow(QDate date, bool isSelected, QWidget* parent = nullptr);

    QDate date() const { return m_date; }
    bool isSelected() const { return m_isSelected; }
    void setSelected(bool selected);
    // "Today", or the day written out without its weekday.
    static QString title(QDate date);

private:
    void applyStyle();

    QDate m_date;
    bool m_isSelected;
};
