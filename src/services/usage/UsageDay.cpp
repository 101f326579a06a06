#include "services/usage/UsageDay.h"

#include <algorithm>

namespace usageday {
namespace {
// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
qint64 daysFromCivil(qint64 y, unsigned m, unsigned d) {
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + qint64(doe) - 719468;
}

void civilFromDays(qint64 z, qint64& y, unsigned& m, unsigned& d) {
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = qint64(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

bool readDigits(QStringView text, qsizetype at, int count, int& value) {
    value = 0;
    for (int i = 0; i < count; ++i) {
        const char16_t ch = text[at + i].unicode();
        if (ch < u'0' || ch > u'9') {
            return false;
        }
        value = value * 10 + int(ch - u'0');
    }
    return true;
}

void appendNumber(char*& out, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        out[i] = char('0' + value % 10);
        value /= 10;
    }
    out += width;
}

bool isLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

// Fills 20 characters.
void writeDateTime(char* out, const QDateTime& moment) {
    qint64 seconds = moment.toMSecsSinceEpoch();
    // Whole seconds, the fraction dropped (towards the earlier second, also before 1970).
    seconds = seconds >= 0 ? seconds / 1000 : -((-seconds + 999) / 1000);
    qint64 days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
    const int secondOfDay = int(seconds - days * 86400);
    qint64 year = 0;
    unsigned month = 0;
    unsigned day = 0;
    civilFromDays(days, year, month, day);
    year = std::clamp<qint64>(year, 0, 9999);
    appendNumber(out, int(year), 4);
    *out++ = '-';
    appendNumber(out, int(month), 2);
    *out++ = '-';
    appendNumber(out, int(day), 2);
    *out++ = 'T';
    appendNumber(out, secondOfDay / 3600, 2);
    *out++ = ':';
    appendNumber(out, secondOfDay / 60 % 60, 2);
    *out++ = ':';
    appendNumber(out, secondOfDay % 60, 2);
    *out++ = 'Z';
}
} // namespace

QDate of(const QDateTime& moment) {
    return moment.toLocalTime().date();
}

QString key(QDate day) {
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

std::optional<QDate> fromKey(QStringView key) {
    int year = 0;
    int month = 0;
    int day = 0;
    if (key.size() != 10 || key[4] != u'-' || key[7] != u'-' || !readDigits(key, 0, 4, year) ||
        !readDigits(key, 5, 2, month) || !readDigits(key, 8, 2, day)) {
        return std::nullopt;
    }
    const QDate date(year, month, day);
    if (!date.isValid()) {
        return std::nullopt;
    }
    return date;
}

QDateTime start(QDate day) {
    return day.startOfDay();
}

QString dateTimeText(const QDateTime& moment) {
    char buffer[20];
    writeDateTime(buffer, moment);
    return QString::fromLatin1(buffer, 20);
}

void appendDateTime(QByteArray& out, const QDateTime& moment) {
    char buffer[20];
    writeDateTime(buffer, moment);
    out.append(buffer, 20);
}

std::optional<QDateTime> parseDateTime(QStringView text) {
    // yyyy-MM-ddTHH:mm:ss followed by Z or +hh:mm / -hh:mm.
    if (text.size() != 20 && text.size() != 25) {
        return std::nullopt;
    }
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (text[4] != u'-' || text[7] != u'-' || text[10] != u'T' || text[13] != u':' || text[16] != u':' ||
        !readDigits(text, 0, 4, year) || !readDigits(text, 5, 2, month) || !readDigits(text, 8, 2, day) ||
        !readDigits(text, 11, 2, hour) || !readDigits(text, 14, 2, minute) ||
        !readDigits(text, 17, 2, second)) {
        return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 || minute > 59 ||
        second > 59) {
        return std::nullopt;
    }
    int offsetSeconds = 0;
    if (text.size() == 20) {
        if (text[19] != u'Z') {
            return std::nullopt;
        }
    } else {
        const char16_t sign = text[19].unicode();
        int offsetHours = 0;
        int offsetMinutes = 0;
        if ((sign != u'+' && sign != u'-') || text[22] != u':' || !readDigits(text, 20, 2, offsetHours) ||
            !readDigits(text, 23, 2, offsetMinutes) || offsetHours > 23 || offsetMinutes > 59) {
            return std::nullopt;
        }
        offsetSeconds = (offsetHours * 3600 + offsetMinutes * 60) * (sign == u'+' ? 1 : -1);
    }
    const qint64 seconds = daysFromCivil(year, unsigned(month), unsigned(day)) * 86400 + hour * 3600 +
                           minute * 60 + second - offsetSeconds;
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

} // namespace usageday
