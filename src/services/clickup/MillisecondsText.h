#pragma once

#include <QJsonValue>
#include <QLatin1String>
#include <QString>

#include <optional>

class JsonReader;

// Epoch milliseconds, which ClickUp sends as text in some replies and as a JSON number in others
// (the same field of the same endpoint differs between its reference examples), read as text.

// A string as it is, or a whole number as its decimal text; nothing for anything else.
std::optional<QString> millisecondsText(const QJsonValue& value);

// The member's text as above; an absent or null member is none; any other value fails with
// typeMismatch "Expected String or Int for <name>".
std::optional<QString> optionalMillisecondsText(const JsonReader& member, QLatin1String name);

// The member's text as above; anything else, a missing member included, fails with typeMismatch
// "Expected String or Int for <name>".
QString requiredMillisecondsText(const JsonReader& member, QLatin1String name);
