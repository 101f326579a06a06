#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Bytes read as UTF-8 text (an empty text for no bytes); none when they are not valid UTF-8.
std::optional<QString> utf8Text(const QByteArray& bytes);
