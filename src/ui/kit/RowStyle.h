#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPixmap>
#include <QString>

class QWidget;

// Fonts, colours and glyphs of the popover's sections and task rows: PopoverStyle's, plus the status
// colours and the names of the glyphs the rows use. Colours follow the palette's light or dark
// window.
namespace RowStyle {
QFont font(qreal pointSize, QFont::Weight weight = QFont::Normal);
// Fixed-width digits for durations and hours.
QFont monospacedFont(qreal pointSize);

// Text of lesser weight (counts, durations, hints) and of least weight (list names).
QColor secondaryColor(const QPalette& palette);
QColor tertiaryColor(const QPalette& palette);
// The colour with its opacity multiplied by `opacity`.
QColor withOpacity(QColor color, qreal opacity);

QColor orange(const QPalette& palette);
QColor blue(const QPalette& palette);
QColor green(const QPalette& palette);
QColor cyan(const QPalette& palette);
QColor yellow(const QPalette& palette);
QColor purple(const QPalette& palette);
QColor gray(const QPalette& palette);

// A one-colour glyph: our drawing of the freedesktop name (":/icons/<name>.svg"),
// at `pointSize` points, every opaque pixel painted in `color`.
QPixmap glyph(const QString& iconName, qreal pointSize, const QColor& color, const QWidget* widget);

// A coloured icon as our drawing gives it, at `pointSize` points.
QPixmap icon(const QString& iconName, qreal pointSize, const QWidget* widget);

// Sets a label's text colour through its palette.
void setTextColor(QWidget* widget, const QColor& color);

// Glyph names.
inline const QString chevronDown = QStringLiteral("pan-down-symbolic");
inline const QString chevronRight = QStringLiteral("pan-end-symbolic");
inline const QString warningGlyph = QStringLiteral("dialog-warning");
inline const QString searchGlyph = QStringLiteral("edit-find");
inline const QString subtaskGlyph = QStringLiteral("format-indent-more");
inline const QString openGlyph = QStringLiteral("external-link");
inline const QString startGlyph = QStringLiteral("media-playback-start");
inline const QString copyGlyph = QStringLiteral("edit-copy");
inline const QString unscheduledGlyph = QStringLiteral("mail-folder-inbox");
inline const QString weekGlyph = QStringLiteral("x-office-calendar");
inline const QString clientGlyph = QStringLiteral("folder");
} // namespace RowStyle
