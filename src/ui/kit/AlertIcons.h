#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <optional>

// The application's own symbols, drawn from its resources, ":/icons/<name>.svg", whatever icon theme
// the desktop has: a theme's icon under the same freedesktop name is often a full-colour picture that
// a tint turns into a blob. Names used include "dialog-warning", "media-record",
// "media-playback-start", "window-close", "mail-forward". The icon of a name is made once and shared;
// a name without a drawing gives an empty icon and one warning.
class AlertIcons {
public:
    static QIcon icon(const QString& name);
    // The icon at `size` logical pixels; with a tint, every opaque pixel takes that colour (for
    // one-colour glyphs such as the close cross and the play triangle).
    static QPixmap pixmap(const QString& name, int size, qreal devicePixelRatio,
                          std::optional<QColor> tint = std::nullopt);
    // Where the drawing of a name is.
    static QString resourcePath(const QString& name);
};
