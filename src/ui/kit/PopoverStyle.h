#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPixmap>
#include <QString>

#include <optional>

class QFrame;
class QLabel;
class QToolButton;
class QWidget;

// The look of the popover and the reminder windows: the application font at the design's sizes, the
// colours that mark state (orange: no timer, green: the running time, red: stop and errors) in the
// light or dark variant that suits the palette, the text levels, and symbols: our own drawing of a
// freedesktop name (":/icons/<name>.svg", never the desktop theme's icon), drawn at the size of text of
// the given size.
//
// Sizes are the design's: text of size N is N pixels high at scale 1, like every width and height of
// the windows, so that text keeps its proportion to the 340-px popover whatever the screen's DPI
// setting. Pixels here are logical pixels: Qt multiplies them by the screen's device pixel ratio.
// Every font of the popover, the reminder windows and the windows to come is made here.
class PopoverStyle {
public:
    // The pixel size of text of the design size N: N, rounded, at least 1.
    static int pixelSize(qreal designSize);
    static QFont font(qreal designSize, QFont::Weight weight = QFont::Normal);
    static QFont monospacedFont(qreal designSize, QFont::Weight weight = QFont::Normal);

    // The palette's window is dark.
    static bool isDark(const QPalette& palette);
    static QColor orange(const QPalette& palette);
    static QColor green(const QPalette& palette);
    static QColor red(const QPalette& palette);
    static QColor primaryText(const QPalette& palette);
    static QColor secondaryText(const QPalette& palette);
    static QColor tertiaryText(const QPalette& palette);
    static QColor separator(const QPalette& palette);
    static QColor controlBackground(const QPalette& palette);
    static QColor accent(const QPalette& palette);
    static QColor withAlpha(QColor color, qreal alpha);

    // The pixel size of a symbol that stands beside text of the design size (the text's pixel size).
    static int symbolSize(qreal designSize, const QWidget* widget);
    // The symbol at that size; with a tint, every opaque pixel takes that colour.
    static QPixmap symbol(const QString& name, qreal pointSize, const QWidget* widget,
                          std::optional<QColor> tint = std::nullopt);
    // A label that shows the symbol.
    static QLabel* symbolLabel(const QString& name, qreal pointSize, std::optional<QColor> tint,
                               QWidget* parent);
    // A flat button of a symbol and a text (either may be empty) in the colour, without a frame, with
    // a pointing-hand cursor.
    static QToolButton* plainButton(const QString& text, const QString& symbolName, qreal pointSize,
                                    const QColor& color, QWidget* parent);
    // Gives the widget's text the colour.
    static void setTextColor(QWidget* widget, const QColor& color);
    // A style sheet for a push button filled with the colour, in white text, with rounded corners.
    static QString filledButtonStyleSheet(const QColor& fill);

    // A one-pixel horizontal rule in the separator colour.
    static QFrame* divider(QWidget* parent);
    // The widget inside a container that pads it.
    static QWidget* padded(QWidget* content, int horizontal, int top, int bottom, QWidget* parent);
};
