#include "core/ServerText.h"

#include "core/Log.h"
#include "core/Utf8Text.h"

#include <QStringDecoder>

QString serverText(const QString& text) {
    if (text.size() <= serverTextLimit + serverTextCutMark.size() && text.endsWith(serverTextCutMark)) {
        return text; // cut already
    }
    const QString masked = Log::masked(text);
    if (masked.size() <= serverTextLimit) {
        return masked;
    }
    qsizetype cut = serverTextLimit;
    if (masked.at(cut - 1).isHighSurrogate()) {
        --cut;
    }
    return masked.left(cut) + serverTextCutMark;
}

std::optional<QString> serverText(const QByteArray& body) {
    // A character takes at most four bytes; a little more than the limit keeps the masking of a
    // secret that straddles the cut honest.
    constexpr qsizetype prefixBytes = (serverTextLimit + 128) * 4;
    if (body.size() <= prefixBytes) {
        const std::optional<QString> text = utf8Text(body);
        return text ? std::optional<QString>(serverText(*text)) : std::nullopt;
    }
    // The start only: a character cut at its end is left for the decoder, not an error.
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(QByteArrayView(body).first(prefixBytes));
    if (decoder.hasError()) {
        return std::nullopt;
    }
    // More follows: the decoded start is longer than the limit, so it is cut and marked.
    QString cutText = Log::masked(text).left(serverTextLimit);
    if (cutText.back().isHighSurrogate()) {
        cutText.chop(1);
    }
    return cutText + serverTextCutMark;
}
