#include "services/usage/UsageDayWriter.h"

UsageDayWriter::UsageDayWriter(const QString& date, qsizetype reserve) {
    m_out.reserve(reserve);
    m_out.append("{\"date\":");
    text(date);
    m_out.append(",\"sessions\":[");
}

QByteArray UsageDayWriter::finish() {
    m_out.append("]}");
    return std::move(m_out);
}

void UsageDayWriter::text(QByteArrayView utf8) {
    m_out.append('"');
    const char* begin = utf8.data();
    const char* end = begin + utf8.size();
    const char* run = begin;
    for (const char* p = begin; p != end; ++p) {
        const unsigned char ch = static_cast<unsigned char>(*p);
        if (ch >= 0x20 && ch != '"' && ch != '\\') {
            continue;
        }
        m_out.append(run, p - run);
        run = p + 1;
        switch (ch) {
        case '"':
            m_out.append("\\\"", 2);
            break;
        case '\\':
            m_out.append("\\\\", 2);
            break;
        case '\n':
            m_out.append("\\n", 2);
            break;
        case '\r':
            m_out.append("\\r", 2);
            break;
        case '\t':
            m_out.append("\\t", 2);
            break;
        default: {
            static const char hex[] = "0123456789abcdef";
            const char escaped[6] = {'\\', 'u', '0', '0', hex[ch >> 4], hex[ch & 0xf]};
            m_out.append(escaped, 6);
        }
        }
    }
    m_out.append(run, end - run);
    m_out.append('"');
}

void UsageDayWriter::uuid(const QUuid& id) {
    // "8-4-4-4-12" upper-case hexadecimal digits, written in place: one id a session and one a capture
    // would otherwise cost two buffers each.
    static const char hex[] = "0123456789ABCDEF";
    char text[38];
    char* out = text;
    *out++ = '"';
    const auto digits = [&out](quint64 value, int count) {
        for (int shift = (count - 1) * 4; shift >= 0; shift -= 4) {
            *out++ = hex[(value >> shift) & 0xf];
        }
    };
    digits(id.data1, 8);
    *out++ = '-';
    digits(id.data2, 4);
    *out++ = '-';
    digits(id.data3, 4);
    *out++ = '-';
    digits(quint64(id.data4[0]) << 8 | id.data4[1], 4);
    *out++ = '-';
    for (int i = 2; i < 8; ++i) {
        digits(id.data4[i], 2);
    }
    *out++ = '"';
    m_out.append(text, out - text);
}

void UsageDayWriter::dateTime(const QDateTime& moment) {
    m_out.append('"');
    usageday::appendDateTime(m_out, moment);
    m_out.append('"');
}
