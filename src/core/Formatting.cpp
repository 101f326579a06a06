#include "core/Formatting.h"

#include "core/AppCatalogue.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {
void appendTwoDigits(QString& text, qint64 value) {
    if (value < 10) {
        text += QLatin1Char('0');
    }
    text += QString::number(value);
}

bool isLetterOrDigit(char32_t codePoint) {
    return QChar::isLetterOrNumber(codePoint) || QChar::isMark(codePoint);
}

// The code point that starts at `index`, and the one that ends just before `index`.
char32_t codePointAt(QStringView text, qsizetype index) {
    const QChar c = text[index];
    if (c.isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate()) {
        return QChar::surrogateToUcs4(c, text[index + 1]);
    }
    return c.unicode();
}

char32_t codePointBefore(QStringView text, qsizetype index) {
    const QChar c = text[index - 1];
    if (c.isLowSurrogate() && index >= 2 && text[index - 2].isHighSurrogate()) {
        return QChar::surrogateToUcs4(text[index - 2], c);
    }
    return c.unicode();
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') {
        return u - '0';
    }
    if (u >= 'a' && u <= 'f') {
        return u - 'a' + 10;
    }
    if (u >= 'A' && u <= 'F') {
        return u - 'A' + 10;
    }
    return -1;
}

// The number of user-perceived characters; plain ASCII text is counted without a text scan.
qsizetype characterCount(QStringView text) {
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        return text.size();
    }
    const QString copy = text.toString();
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, copy);
    qsizetype count = 0;
    while (finder.toNextBoundary() >= 0) {
        ++count;
    }
    return count;
}
} // namespace

QString hoursMinutesText(double milliseconds) {
    if (!std::isfinite(milliseconds)) {
        return u"00:00"_s;
    }
    // Truncated toward zero and kept within 64 bits.
    constexpr double limit = 9.2e18;
    const qint64 seconds = static_cast<qint64>(std::clamp(milliseconds, -limit, limit) / 1000.0);
    const qint64 magnitude = seconds < 0 ? -seconds : seconds;
    QString text;
    text.reserve(8);
    if (seconds < 0 && magnitude >= 60) {
        text += QLatin1Char('-');
    }
    appendTwoDigits(text, magnitude / 3600);
    text += QLatin1Char(':');
    appendTwoDigits(text, (magnitude % 3600) / 60);
    return text;
}

QColor colorFromHex(QStringView hex) {
    qsizetype begin = 0;
    qsizetype end = hex.size();
    while (begin < end) {
        const char32_t c = codePointAt(hex, begin);
        if (isLetterOrDigit(c)) {
            break;
        }
        begin += QChar::requiresSurrogates(c) ? 2 : 1;
    }
    while (end > begin) {
        const char32_t c = codePointBefore(hex, end);
        if (isLetterOrDigit(c)) {
            break;
        }
        end -= QChar::requiresSurrogates(c) ? 2 : 1;
    }
    const QStringView trimmed = hex.sliced(begin, end - begin);

    const qsizetype length = characterCount(trimmed);
    if (length != 8 && length != 6 && length != 3) {
        return QColor::fromRgb(0, 0, 0, 255);
    }
    // At most 8 digits here, so the value fits easily.
    quint64 value = 0;
    for (QChar c : trimmed) {
        const int digit = hexDigit(c);
        if (digit < 0) {
            break;
        }
        value = value * 16 + quint64(digit);
    }
    switch (length) {
    case 8:
        return QColor::fromRgb(int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF),
                               int((value >> 24) & 0xFF));
    case 6:
        return QColor::fromRgb(int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF), 255);
    default:
        return QColor::fromRgb(int((value >> 8) & 0xF) * 17, int((value >> 4) & 0xF) * 17,
                               int(value & 0xF) * 17, 255);
    }
}

std::optional<QString> browserName(const QString& appId) {
    const AppCatalogue::App* known = AppCatalogue::find(appId);
    return known && known->kind == AppCatalogue::Kind::browser ? std::optional<QString>(known->name)
                                                               : std::nullopt;
}

std::optional<QString> emailClientName(const QString& appId) {
    const AppCatalogue::App* known = AppCatalogue::find(appId);
    return known && known->kind == AppCatalogue::Kind::mail ? std::optional<QString>(known->name)
                                                            : std::nullopt;
}

QString appVersion() {
    return appVersion(PENDLOW_VERSION);
}

QString appVersion(const char* builtVersion) {
    const QString version = QString::fromUtf8(builtVersion ? builtVersion : "");
    return version.isEmpty() ? u"1.0.0"_s : version;
}

QColor windowBackgroundColor() {
    return QGuiApplication::palette().color(QPalette::Window);
}
