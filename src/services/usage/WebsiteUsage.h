#pragma once

#include <QString>
#include <QUuid>

// Time spent on one web host in a day's browser sessions.
struct WebsiteUsage {
    QUuid id;
    QString domain;
    double duration = 0; // seconds
};
