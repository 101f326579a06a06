#pragma once

#include "core/Error.h"

// A reply whose body went beyond the request's size limit: refused before anything reads it.
class OversizedReplyError : public Error {
public:
    // "The server's reply is too large."
    QString description() const override;
};
