#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QImage>
#include <QList>
#include <QMetaType>

// One icon image as StatusNotifierItem carries it over D-Bus, "(iiay)": width, height and the
// pixels as ARGB32 in network byte order (A, R, G, B per pixel, row by row, not premultiplied).
struct StatusNotifierIconPixmap {
    int width = 0;
    int height = 0;
    QByteArray bytes;

    static StatusNotifierIconPixmap fromImage(const QImage& image);
    // The image back; a null image when the bytes do not match the size.
    QImage toImage() const;

    bool operator==(const StatusNotifierIconPixmap&) const = default;
};

using StatusNotifierIconPixmapList = QList<StatusNotifierIconPixmap>;

Q_DECLARE_METATYPE(StatusNotifierIconPixmap)

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierIconPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierIconPixmap& pixmap);
