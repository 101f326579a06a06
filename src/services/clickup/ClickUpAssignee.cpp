#include "services/clickup/ClickUpAssignee.h"

#include "core/JsonReader.h"

#include <QTextBoundaryFinder>

using namespace Qt::StringLiterals;

namespace {
// The first `count` user-perceived characters of a text (an accent or an emoji stays whole).
QString leadingCharacters(const QString& text, int count) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int i = 0; i < count && end < text.size(); ++i) {
        end = finder.toNextBoundary();
        if (end < 0) {
            end = text.size();
        }
    }
    return text.left(end);
}
} // namespace

QString ClickUpAssignee::initials() const {
    const QStringList words = username.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() >= 2) {
        return (leadingCharacters(words[0], 1) + leadingCharacters(words[1], 1)).toUpper();
    }
    return leadingCharacters(username, 2).toUpper();
}

ClickUpAssignee ClickUpAssignee::fromJson(const JsonReader& json) {
    json.object();
    return {json["id"_L1].integer(), json["username"_L1].string(), json["color"_L1].optionalString(),
            json["profilePicture"_L1].optionalString()};
}
