#include "services/clickup/TaskNameCleaner.h"

#include <QRegularExpression>

namespace {
using namespace Qt::StringLiterals;

const QRegularExpression& hashtagWord() {
    static const QRegularExpression expression(u"#[a-zA-Z0-9_-]+"_s,
                                               QRegularExpression::CaseInsensitiveOption |
                                                   QRegularExpression::UseUnicodePropertiesOption);
    return expression;
}

// A day count with the blanks around it ("+3 days planned", " 2 overdue days "), or a final
// "planned" with the blanks before it.
const QRegularExpression& dayCount() {
    static const QRegularExpression expression(
        uR"(\s*[+-]?\d+\s*(overdue\s+)?days?\s*(planned)?|\s+planned$)"_s,
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return expression;
}

void removeMatches(QString& text, const QRegularExpression& expression) {
    // An expression that did not compile leaves the text as it is.
    if (expression.isValid()) {
        text.remove(expression);
    }
}

bool isBlank(char32_t c) {
    return c == U'\t' || QChar::category(c) == QChar::Separator_Space;
}

bool isKept(char32_t c) {
    switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
        return true;
    default:
        break;
    }
    return isBlank(c) || (c < 0x80 && QByteArrayView("-#%.()=+").contains(char(c)));
}
} // namespace

QString cleanTaskName(const QString& name) {
    QString text = name;
    text.replace(u"#bug"_s, u" "_s);
    text.remove(u"#not billable"_s);
    text.replace(u"#waiting for customer"_s, u" "_s);
    removeMatches(text, hashtagWord());
    removeMatches(text, dayCount());

    // By code point; a lone surrogate reads as U+FFFD, a symbol, and goes.
    QList<uint> codePoints = text.toUcs4();
    codePoints.removeIf([](uint c) { return !isKept(char32_t(c)); });
    QString kept =
        QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData()), codePoints.size());

    while (kept.contains(u"  "_s)) {
        kept.replace(u"  "_s, u" "_s);
    }

    qsizetype begin = 0;
    qsizetype end = kept.size();
    while (begin < end && isBlank(kept.at(begin).unicode())) {
        ++begin;
    }
    while (end > begin && isBlank(kept.at(end - 1).unicode())) {
        --end;
    }
    return kept.sliced(begin, end - begin);
}
