#include "platform/VersionNumber.h"

#include <QList>

namespace {
bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isAsciiLetter(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

QStringView withoutPrefix(QStringView text) {
    if (!text.isEmpty() && (text.front() == QLatin1Char('v') || text.front() == QLatin1Char('V'))) {
        return text.mid(1);
    }
    return text;
}

// Two runs of digits as the numbers they write, however long.
int compareNumbers(QStringView a, QStringView b) {
    while (a.size() > 1 && a.front() == QLatin1Char('0')) {
        a = a.mid(1);
    }
    while (b.size() > 1 && b.front() == QLatin1Char('0')) {
        b = b.mid(1);
    }
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b);
}

struct Parsed {
    QList<QStringView> numbers;
    QStringView suffix;
};

Parsed parse(QStringView text) {
    text = withoutPrefix(text.trimmed());
    const qsizetype plus = text.indexOf(QLatin1Char('+'));
    if (plus >= 0) {
        text = text.left(plus);
    }
    Parsed parsed;
    qsizetype at = 0;
    while (at < text.size() && isAsciiDigit(text[at])) {
        const qsizetype start = at;
        while (at < text.size() && isAsciiDigit(text[at])) {
            ++at;
        }
        parsed.numbers.append(text.mid(start, at - start));
        if (at + 1 < text.size() && text[at] == QLatin1Char('.') && isAsciiDigit(text[at + 1])) {
            ++at;
        } else {
            break;
        }
    }
    QStringView rest = text.mid(at);
    while (!rest.isEmpty() && !isAsciiDigit(rest.front()) && !isAsciiLetter(rest.front())) {
        rest = rest.mid(1);
    }
    parsed.suffix = rest;
    return parsed;
}

// The runs of digits and of letters of a suffix; anything else separates them.
QList<QStringView> runs(QStringView suffix) {
    QList<QStringView> result;
    qsizetype at = 0;
    while (at < suffix.size()) {
        const QChar c = suffix[at];
        if (!isAsciiDigit(c) && !isAsciiLetter(c)) {
            ++at;
            continue;
        }
        const bool digits = isAsciiDigit(c);
        const qsizetype start = at;
        while (at < suffix.size() && (digits ? isAsciiDigit(suffix[at]) : isAsciiLetter(suffix[at]))) {
            ++at;
        }
        result.append(suffix.mid(start, at - start));
    }
    return result;
}

int compareSuffixes(QStringView a, QStringView b) {
    if (a.isEmpty() || b.isEmpty()) {
        // A release is newer than any pre-release of the same numbers.
        return a.isEmpty() == b.isEmpty() ? 0 : (a.isEmpty() ? 1 : -1);
    }
    const QList<QStringView> left = runs(a);
    const QList<QStringView> right = runs(b);
    for (qsizetype i = 0; i < std::min(left.size(), right.size()); ++i) {
        const bool leftNumber = isAsciiDigit(left[i].front());
        const bool rightNumber = isAsciiDigit(right[i].front());
        int order = 0;
        if (leftNumber && rightNumber) {
            order = compareNumbers(left[i], right[i]);
        } else if (leftNumber != rightNumber) {
            order = leftNumber ? 1 : -1;
        } else {
            order = left[i].compare(right[i], Qt::CaseInsensitive);
        }
        if (order != 0) {
            return order < 0 ? -1 : 1;
        }
    }
    return left.size() == right.size() ? 0 : (left.size() < right.size() ? -1 : 1);
}
} // namespace

bool VersionNumber::isValid(QStringView text) {
    if (text.isEmpty() || text.size() > maximumLength) {
        return false;
    }
    const QStringView body = withoutPrefix(text);
    if (body.isEmpty() || !isAsciiDigit(body.front())) {
        return false;
    }
    for (QChar c : body) {
        if (!isAsciiDigit(c) && !isAsciiLetter(c) && !QStringView(u" .-+_~").contains(c)) {
            return false;
        }
    }
    return true;
}

int VersionNumber::compare(QStringView a, QStringView b) {
    const Parsed left = parse(a);
    const Parsed right = parse(b);
    static const QStringView zero = u"0";
    for (qsizetype i = 0; i < std::max(left.numbers.size(), right.numbers.size()); ++i) {
        const int order = compareNumbers(left.numbers.value(i, zero), right.numbers.value(i, zero));
        if (order != 0) {
            return order < 0 ? -1 : 1;
        }
    }
    return compareSuffixes(left.suffix, right.suffix);
}
