#include "services/usage/UsageText.h"

#include "core/CharacterTruncation.h"

#include <QLocale>

namespace usagetext {
namespace {
bool isHorizontalSpace(QChar ch) {
    return ch == QLatin1Char('\t') || ch.category() == QChar::Separator_Space;
}

} // namespace

QString trimmedHorizontal(QStringView text) {
    return trimmedHorizontalView(text).toString();
}

QStringView trimmedHorizontalView(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isHorizontalSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && isHorizontalSpace(text[end - 1])) {
        --end;
    }
    return text.mid(begin, end - begin);
}

QString lastPathComponent(const QString& path) {
    qsizetype end = path.size();
    while (end > 1 && path[end - 1] == QLatin1Char('/')) {
        --end;
    }
    const QString trimmed = path.left(end);
    if (trimmed == QLatin1String("/")) {
        return trimmed;
    }
    const qsizetype slash = trimmed.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? trimmed : trimmed.mid(slash + 1);
}

QString shortTimeFormat(const QLocale& locale) {
    const QString pattern = locale.timeFormat(QLocale::ShortFormat);
    // Some locales (C among them) give seconds in their short style: drop the field and the
    // separator before it, leaving quoted text alone.
    QString out;
    out.reserve(pattern.size());
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar ch = pattern[i];
        if (ch == QLatin1Char('\'')) {
            const qsizetype close = pattern.indexOf(QLatin1Char('\''), i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close + 1;
            out += QStringView(pattern).mid(i, end - i);
            i = end;
            continue;
        }
        if (ch == QLatin1Char('s')) {
            while (!out.isEmpty() && !out.back().isLetter() && out.back() != QLatin1Char('\'')) {
                out.chop(1);
            }
            while (i < pattern.size() && pattern[i] == QLatin1Char('s')) {
                ++i;
            }
            continue;
        }
        out += ch;
        ++i;
    }
    return out;
}

QString shortTime(const QDateTime& moment) {
    const QLocale locale;
    return locale.toString(moment.toLocalTime().time(), shortTimeFormat(locale));
}

QString markdownInline(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x20 || c == 0x7f || c == 0x2028 || c == 0x2029 || c == 0x85) {
            out += QLatin1Char(' ');
            continue;
        }
        switch (c) {
        case u'\\':
        case u'`':
        case u'*':
        case u'_':
        case u'[':
        case u']':
        case u'<':
        case u'>':
        case u'|':
        case u'~':
        case u'&':
            out += QLatin1Char('\\');
            break;
        default:
            break;
        }
        out += ch;
    }
    // What would open a block at the start of a line or list item: a heading, a list or a quote.
    const QStringView lead = trimmedHorizontalView(out);
    const qsizetype at = lead.data() - out.constData();
    if (!lead.isEmpty()) {
        const QChar first = lead.front();
        qsizetype digits = 0;
        while (digits < lead.size() && lead[digits].isDigit() && lead[digits].unicode() < 0x80) {
            ++digits;
        }
        const bool orderedMarker = digits > 0 && digits < lead.size() &&
                                   (lead[digits] == QLatin1Char('.') || lead[digits] == QLatin1Char(')'));
        if (first == QLatin1Char('#') || first == QLatin1Char('-') || first == QLatin1Char('+') ||
            first == QLatin1Char('=')) {
            out.insert(at, QLatin1Char('\\'));
        } else if (orderedMarker) {
            out.insert(at + digits, QLatin1Char('\\'));
        }
    }
    return out;
}

void appendJoined(QString& out, const QStringList& texts) {
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i > 0) {
            out += QLatin1String(", ");
        }
        out += texts[i];
    }
}

qsizetype totalLength(const QStringList& texts, qsizetype extraPerText) {
    qsizetype length = 0;
    for (const QString& text : texts) {
        length += text.size() + extraPerText;
    }
    return length;
}

} // namespace usagetext
