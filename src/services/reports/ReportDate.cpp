#include "services/reports/ReportDate.h"

#include <QLocale>
#include <QRegularExpression>

namespace reportdate {
QString longText(QDate day) {
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::LongFormat);
    static const QRegularExpression leading(QStringLiteral("^dddd[,\\s]*"));
    static const QRegularExpression other(QStringLiteral("[,\\s]*dddd"));
    if (format.contains(leading)) {
        format.remove(leading);
    } else {
        format.remove(other);
    }
    return locale.toString(day, format.trimmed());
}
} // namespace reportdate
