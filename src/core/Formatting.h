#pragma once

#include <QColor>
#include <QHash>
#include <QString>
#include <QStringView>

#include <optional>

// Formatting helpers shared across the application.

// A millisecond duration as hours and minutes, "%02d:%02d". Seconds are dropped, never rounded, and
// hours do not wrap: 5400000 → "01:30", 59999 → "00:00", 100 hours → "100:00". A negative duration
// keeps its sign in front ("-01:30"); a value that is not a finite number gives "00:00".
QString hoursMinutesText(double milliseconds);

// A colour from hexadecimal text such as "#FF8800", "F80" or "80FF0000" (ARGB). Characters that are
// not letters or digits are trimmed from both ends; the digits are read from the start up to the first
// non-hex character. By the trimmed length: 8 = ARGB, 6 = RGB, 3 = RGB with each digit doubled;
// any other length is opaque black. Nothing readable counts as 0.
QColor colorFromHex(QStringView hex);

// Display names of the web browsers and e-mail clients of the application catalogue, by any id they
// go by.
std::optional<QString> browserName(const QString& appId);
std::optional<QString> emailClientName(const QString& appId);

// The version of this build ("0.1.0"), or "1.0.0" when the build names none.
QString appVersion();
// The version text for a build version as compiled in: the text itself, or "1.0.0" when empty.
QString appVersion(const char* builtVersion);

// The window-background colour of the application palette (follows the desktop's light or dark
// style); the popover paints its background with it.
QColor windowBackgroundColor();
