#pragma once

#include <QColor>
#include <QPalette>
#include <QPixmap>

class QWidget;

// The activity section's accent (purple, lighter on dark palettes) and the stand-in icon of an
// application whose own icon is not found.
namespace UsageStyle {
QColor purple(const QPalette& palette);
QPixmap genericAppIcon(qreal pointSize, const QWidget* widget);
} // namespace UsageStyle
