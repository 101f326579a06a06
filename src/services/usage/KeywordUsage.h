#pragma once

#include <QString>
#include <QUuid>

// A word of the day's window titles with the time it was on screen and how often it appeared.
struct KeywordUsage {
    QUuid id;
    QString keyword;
    double duration = 0; // seconds
    int occurrences = 0;
};
