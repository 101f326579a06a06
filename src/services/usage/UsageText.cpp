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

QString shortTime(const QDateTime& moment) {
    return QLocale().toString(moment.toLocalTime().time(), QLocale::ShortFormat);
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
