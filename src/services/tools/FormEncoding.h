#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// An application/x-www-form-urlencoded body: "key=value" pairs joined by "&", in the given order.
// Keys and values are UTF-8, and every byte but the unreserved characters (letters, digits, "-", ".",
// "_", "~") is written as "%" and two upper-case hex digits, so "&", "=", "+", "%" and blanks in a
// value reach the server as they are: "a+b&c=d" → "a%2Bb%26c%3Dd".
QByteArray encodeForm(const QList<QPair<QString, QString>>& fields);
