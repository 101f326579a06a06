#pragma once

#include <QStringView>

// Version texts as update feeds and the application carry them: "1.2", "1.10.3", "v2.0", "2.0-beta2".
class VersionNumber {
public:
    static constexpr qsizetype maximumLength = 64;

    // True for text that may stand as a version: at most 64 characters, a digit first (after an optional
    // "v"), and only ASCII letters, digits, space and ". - + _ ~" (so it is safe to show as it is).
    static bool isValid(QStringView text);

    // Less than, equal to or greater than 0 as a is older than, the same as or newer than b.
    // The leading dotted numbers compare component by component as numbers of any length, a missing
    // component counting as 0 ("1.2" equals "1.2.0", "1.10" is newer than "1.9"). What follows them is a
    // pre-release suffix ("-beta2", "b1", " RC"): the same numbers without one are newer; two suffixes
    // compare run by run, digits as numbers and letters as case-insensitive text ("beta2" < "beta10" <
    // "rc1"). Build metadata after "+" is ignored.
    static int compare(QStringView a, QStringView b);
};
