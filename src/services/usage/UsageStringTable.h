#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// Texts of the usage records, each distinct one stored once as UTF-8 in one buffer and named by a
// number: application ids and names, task ids, titles, addresses, e-mail fields. Numbers stay valid as
// the table grows; 0 names no text (an absent optional), every other number a stored one.
class UsageStringTable {
public:
    static constexpr quint32 none = 0;

    // The number of that text, stored when it is new.
    quint32 intern(QStringView text);
    // The number of the text, or none when there is no text.
    quint32 internOptional(const std::optional<QString>& text) { return text ? intern(*text) : none; }

    // The text of a number other than none.
    QByteArrayView bytes(quint32 id) const;
    QString text(quint32 id) const;
    // How many distinct texts are stored.
    qsizetype count() const { return qsizetype(m_ends.size()); }
    // Gives back the room reserved for growth, once a table is complete.
    void squeeze();

private:
    quint32 find(QByteArrayView bytes, size_t hash) const;
    void rehash(size_t slotCount);

    QByteArray m_bytes;
    // Where each text ends in m_bytes (it starts where the one before it ends).
    std::vector<quint32> m_ends;
    // Open addressing over the texts' hashes: 0 for a free slot, else a text's number.
    std::vector<quint32> m_slots;
};
