#pragma once

#include <QColor>
#include <QString>

// The colour of an application in timelines: a fixed colour for sixteen well-known applications,
// otherwise a hue from a stable hash of the id (the same colour on every run) at saturation 0.6 and
// brightness 0.8.
QColor appColor(const QString& appId);
