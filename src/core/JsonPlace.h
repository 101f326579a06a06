#pragma once

#include <QString>
#include <QtGlobal>

// Where a value sits in a JSON document read by JsonByteReader: a chain of places on the reader's
// stack, each a member key or an array index below its parent. Spelled out ("sessions[2].id") only
// when reading fails. The key is kept by pointer: pass a literal.
struct JsonPlace {
    const JsonPlace* parent = nullptr;
    const char* key = nullptr;
    qsizetype index = -1;

    // "" for the document itself.
    QString text() const;
};
