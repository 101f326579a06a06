#pragma once

#include <QColor>
#include <QPixmap>

// The two outcome glyphs of the settings window, drawn: a filled disc with a white check mark or a
// white cross, at `size` logical pixels.
class SettingsGlyphs {
public:
    static QPixmap checkmarkDisc(int size, const QColor& color, qreal devicePixelRatio);
    static QPixmap crossDisc(int size, const QColor& color, qreal devicePixelRatio);
};
