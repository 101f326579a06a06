#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <optional>

// Icons of the reminder windows: the desktop theme's icon of a freedesktop name, else our own
// drawing of it, ":/icons/<name>.svg". Names used: "dialog-warning", "media-record",
// "media-playback-start", "window-close". The icon of a name is made once and shared.
class AlertIcons {
public:
    static QIcon icon(const QString& name);
    // The icon at `size` logical pixels; with a tint, every opaque pixel takes that colour (for
    // one-colour glyphs such as the close cross and the play triangle).
    static QPixmap pixmap(const QString& name, int size, qreal devicePixelRatio,
                          std::optional<QColor> tint = std::nullopt);
};
