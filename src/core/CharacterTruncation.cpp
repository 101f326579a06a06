#include "core/CharacterTruncation.h"

#include <QTextBoundaryFinder>

namespace {
// The position after the first `count` characters, or -1 when the text has no more than that.
qsizetype boundaryAfter(const QString& text, int count) {
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
