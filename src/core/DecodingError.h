#pragma once

#include "core/Error.h"

#include <QString>

// A reply that does not have the shape its type expects: a member missing or null where a value is
// required, a value of another JSON type, or data that cannot be read at all (not JSON, or no usable
// form). codingPath names the place in the document, e.g. "data[3].start"; it is empty for the
// document itself.
class DecodingError : public Error {
public:
    enum class Kind { typeMismatch, keyNotFound, valueNotFound, dataCorrupted };

    DecodingError(Kind kind, QString codingPath, QString detail);

    Kind kind() const { return m_kind; }
    const QString& codingPath() const { return m_codingPath; }
    // What went wrong, without the place: "Expected String or Int for start".
    const QString& detail() const { return m_detail; }

    // The detail followed by the place, e.g. "Expected String or Int for start (at data[3].start)".
    QString description() const override;

    bool operator==(const DecodingError& other) const;

private:
    Kind m_kind;
    QString m_codingPath;
    QString m_detail;
};
