#include "core/CharacterTruncation.h"

#include <QTextBoundaryFinder>

namespace {
// Below U+0300 every UTF-16 unit is a character of its own (no combining marks, no surrogates),
// except a carriage return, which joins a following line feed: such text needs no boundary scan.
bool isSimple(const QString& text) {
    for (const QChar ch : text) {
        if (ch.unicode() >= 0x300 || ch == QLatin1Char('\r')) {
            return false;
        }
    }
    return true;
}

// The position after the first `count` characters, or -1 when the text has no more than that.
qsizetype boundaryAfter(const QString& text, int count) {
    if (isSimple(text)) {
        return count < text.size() ? count : -1;
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int seen = 0;
    while (finder.toNextBoundary() != -1) {
        if (++seen == count) {
            return finder.position() < text.size() ? finder.position() : -1;
        }
    }
    return -1;
}
} // namespace

int characterCount(const QString& text) {
    if (isSimple(text)) {
        return int(text.size());
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() != -1) {
        ++count;
    }
    return count;
}

QString firstCharacters(const QString& text, int count) {
    if (count <= 0) {
        return {};
    }
    const qsizetype end = boundaryAfter(text, count);
    return end < 0 ? text : text.left(end);
}

QString truncatedToCharacters(const QString& text, int limit) {
    if (boundaryAfter(text, limit) < 0) {
        return text;
    }
    return firstCharacters(text, limit - 3) + QStringLiteral("...");
}
