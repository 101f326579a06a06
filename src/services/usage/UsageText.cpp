#include "services/usage/UsageText.h"

#include "core/CharacterTruncation.h"

namespace usagetext {
namespace {
bool isHorizontalSpace(QChar ch) {
    return ch == QLatin1Char('\t') || ch.category() == QChar::Separator_Space;
}

// Below U+0300 every UTF-16 unit is a character of its own (no combining marks, no surrogates),
// except for a carriage return followed by a line feed, which does not occur in titles we count.
bool isSimple(const QString& text) {
    for (const QChar ch : text) {
        if (ch.unicode() >= 0x300) {
            return false;
        }
    }
    return true;
}
} // namespace

QString trimmedHorizontal(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isHorizontalSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && isHorizontalSpace(text[end - 1])) {
        --end;
    }
    return text.mid(begin, end - begin).toString();
}

int characterCount(const QString& text) {
    if (isSimple(text)) {
        return int(text.size());
    }
    return ::characterCount(text);
}

QString truncated(const QString& text, int limit) {
    if (text.size() <= limit) {
        return text;
    }
    if (isSimple(text)) {
        return text.left(limit - 3) + QStringLiteral("...");
    }
    return truncatedToCharacters(text, limit);
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

} // namespace usagetext
