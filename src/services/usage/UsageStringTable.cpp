#include "services/usage/UsageStringTable.h"

#include <QHashFunctions>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>

namespace {
size_t hashOf(QByteArrayView bytes) {
    return qHash(bytes, 0);
}
} // namespace

QByteArrayView UsageStringTable::bytes(quint32 id) const {
    const quint32 start = id > 1 ? m_ends[id - 2] : 0;
    return QByteArrayView(m_bytes.constData() + start, qsizetype(m_ends[id - 1] - start));
}

QString UsageStringTable::text(quint32 id) const {
    const QByteArrayView utf8 = bytes(id);
    return utf8.isEmpty() ? QString() : QString::fromUtf8(utf8);
}

quint32 UsageStringTable::find(QByteArrayView utf8, size_t hash) const {
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const quint32 id = m_slots[slot];
        if (id == none) {
            return none;
        }
        const QByteArrayView stored = bytes(id);
        if (stored.size() == utf8.size() &&
            std::memcmp(stored.data(), utf8.data(), size_t(utf8.size())) == 0) {
            return id;
        }
    }
}

void UsageStringTable::rehash(size_t slotCount) {
    m_slots.assign(slotCount, none);
    const size_t mask = slotCount - 1;
    for (quint32 id = 1; id <= quint32(m_ends.size()); ++id) {
        size_t slot = hashOf(bytes(id)) & mask;
        while (m_slots[slot] != none) {
            slot = (slot + 1) & mask;
        }
        m_slots[slot] = id;
    }
}

quint32 UsageStringTable::intern(QStringView text) {
    // Encoded straight behind the stored texts; taken back when it is there already.
    QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    const qsizetype start = m_bytes.size();
    m_bytes.resize(start + encoder.requiredSpace(text.size()));
    char* const begin = m_bytes.data() + start;
    const qsizetype length = encoder.appendToBuffer(begin, text) - begin;
    m_bytes.resize(start + length);
    const QByteArrayView utf8(m_bytes.constData() + start, length);

    const size_t hash = hashOf(utf8);
    if (!m_slots.empty()) {
        if (const quint32 found = find(utf8, hash)) {
            m_bytes.resize(start);
            return found;
        }
    }
    m_ends.push_back(quint32(start + length));
    const auto id = quint32(m_ends.size());
    // At most half the slots in use.
    if (m_slots.size() < 2 * m_ends.size()) {
        rehash(std::max<size_t>(64, 2 * m_slots.size()));
    } else {
        const size_t mask = m_slots.size() - 1;
        size_t slot = hash & mask;
        while (m_slots[slot] != none) {
            slot = (slot + 1) & mask;
        }
        m_slots[slot] = id;
    }
    return id;
}

void UsageStringTable::squeeze() {
    m_bytes.squeeze();
    m_ends.shrink_to_fit();
}
