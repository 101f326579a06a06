#pragma once

#include <QString>

// The window in front and the names its application carries on X11.
struct FrontWindow {
    quint32 windowId = 0;
    qint64 processId = 0;
    // The desktop file of the application ("firefox" for firefox.desktop); empty when none was found.
    QString desktopFileId;
    QString gtkApplicationId;
    QString wmClassInstance;
    QString wmClassClass;
    // The desktop file's Name=, else the window class.
    QString name;

    bool operator==(const FrontWindow& other) const = default;
};
