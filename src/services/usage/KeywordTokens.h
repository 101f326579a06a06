#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// The words of a window title as the keyword list counts them: split at spaces, dashes, bars, colons,
// brackets and quotes; applications' names dropped; a word cut at its first dot ("main.py" is "main",
// ".env" stays).
class KeywordTokens {
public:
    static QStringList of(const QString& text);
    // The same as views into the text, appended to the list.
    static void appendViews(QStringView text, QList<QStringView>& tokens);
};
