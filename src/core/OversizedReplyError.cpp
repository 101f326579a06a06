#include "core/OversizedReplyError.h"

QString OversizedReplyError::description() const {
    return QStringLiteral("The server's reply is too large.");
}
