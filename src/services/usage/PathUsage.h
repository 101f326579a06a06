#pragma once

#include <QString>
#include <QUuid>

// Time spent on one file or folder named by the window titles of editors and terminals.
struct PathUsage {
    QUuid id;
    QString path;
    double duration = 0; // seconds
    bool isDirectory = false;
};
