#pragma once

#include <QString>

// Text lengths as the user counts them: user-perceived characters (grapheme clusters), so an
// accented letter, a flag or an emoji with its modifiers is one character.

int characterCount(const QString& text);
// The first `count` characters (the whole text when it has fewer).
QString firstCharacters(const QString& text, int count);
// The text when it has at most `limit` characters; otherwise its first limit − 3 characters
// followed by "...", `limit` characters in all.
QString truncatedToCharacters(const QString& text, int limit);
