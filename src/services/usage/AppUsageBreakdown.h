#pragma once

#include <QIcon>
#include <QString>

// The time of one application in a day.
struct AppUsageBreakdown {
    QString appId;
    QString appName;
    double duration = 0;   // seconds
    double percentage = 0; // of the day's total, 0-100

    // The installed application's icon (its desktop file's Icon= from the icon theme); a null icon
    // when the application or its icon is not found.
    QIcon appIcon() const;
};
