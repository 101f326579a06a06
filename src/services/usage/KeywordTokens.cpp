#include "services/usage/KeywordTokens.h"

#include "services/usage/UsageText.h"

#include <QSet>

namespace {
const QSet<QString>& keywordExcludedWords() {
    static const QSet<QString> words{
        QStringLiteral("Safari"),   QStringLiteral("Chrome"),   QStringLiteral("Firefox"),
        QStringLiteral("Xcode"),    QStringLiteral("Visual"),   QStringLiteral("Studio"),
        QStringLiteral("Code"),     QStringLiteral("PhpStorm"), QStringLiteral("WebStorm"),
        QStringLiteral("Slack"),    QStringLiteral("Notion"),   QStringLiteral("Figma"),
        QStringLiteral("Terminal"), QStringLiteral("Warp")};
    return words;
}

bool isKeywordSeparator(QChar ch) {
    switch (ch.unicode()) {
    case u' ':
    case u'-':
    case u'\u2014':
    case u'|':
    case u'\u00B7':
    case u':':
    case u'(':
    case u')':
    case u'[':
    case u']':
    case u'{':
    case u'}':
    case u'"':
    case u'\'':
        return true;
    default:
        return false;
    }
}

} // namespace

QStringList KeywordTokens::of(const QString& text) {
    QList<QStringView> views;
    appendViews(text, views);
    QStringList tokens;
    tokens.reserve(views.size());
    for (const QStringView view : std::as_const(views)) {
        tokens.append(view.toString());
    }
    return tokens;
}

void KeywordTokens::appendViews(QStringView text, QList<QStringView>& tokens) {
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i <= size; ++i) {
        if (i < size && !isKeywordSeparator(text[i])) {
            continue;
        }
        if (i > start) {
            QStringView piece = usagetext::trimmedHorizontalView(text.mid(start, i - start));
            // A raw view for the look-up: no copy of the piece.
            if (!piece.isEmpty() &&
                !keywordExcludedWords().contains(QString::fromRawData(piece.data(), piece.size()))) {
                const qsizetype dot = piece.indexOf(QLatin1Char('.'));
                if (dot > 0) {
                    piece.truncate(dot);
                }
                tokens.append(piece);
            }
        }
        start = i + 1;
    }
}
