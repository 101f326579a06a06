#include "ui/reports/DateRow.h"

#include "core/Clock.h"
#include "services/usage/UsageDay.h"
#include "ui/kit/PopoverStyle.h"

#include "services/reports/ReportDate.h"

#include <QLocale>

DateRow::DateRow(QDate date, bool isSelected, QWidget* parent)
    : QPushButton(title(date), parent)
    , m_date(date)
    , m_isSelected(isSelected) {
    setObjectName(QStringLiteral("dateRow"));
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    const bool today = date == usageday::of(Clock::now());
    setFont(PopoverStyle::font(12, today ? QFont::DemiBold : QFont::Normal));
    applyStyle();
}

QString DateRow::title(QDate date) {
    if (date == usageday::of(Clock::now())) {
        return QStringLiteral("Today");
    }
    return reportdate::longText(date);
}

void DateRow::setSelected(bool selected) {
    if (m_isSelected != selected) {
        m_isSelected = selected;
        applyStyle();
    }
}

void DateRow::applyStyle() {
    QColor tint = palette().color(QPalette::Highlight);
    tint.setAlphaF(0.15f);
    setStyleSheet(QStringLiteral("QPushButton { text-align: left; padding: 6px 8px; border: none;"
                                 " border-radius: 6px; background: %1; }")
                      .arg(m_isSelected ? tint.name(QColor::HexArgb) : QStringLiteral("transparent")));
}
