#include "platform/X11FrameBlitter.h"

#include "platform/X11Windows.h"
#include "platform/XcbReply.h"

#include <QHash>

#include <algorithm>
#include <utility>

namespace {
// Bits per pixel the server stores images of a depth with, 0 when it has no such format.
int bitsPerPixel(const xcb_setup_t* setup, uint8_t depth) {
    xcb_format_iterator_t formats = xcb_setup_pixmap_formats_iterator(setup);
    for (; formats.rem > 0; xcb_format_next(&formats)) {
        if (formats.data->depth == depth) {
            return formats.data->bits_per_pixel;
        }
    }
    return 0;
}
} // namespace

X11FrameBlitter::X11FrameBlitter(QWindow* window, const QList<QImage>& frames) {
    m_connection = X11Windows::connection();
    if (!m_connection || !window || frames.isEmpty()) {
        return;
    }
    m_window = xcb_window_t(window->winId());
    m_ready = upload(frames);
}

X11FrameBlitter::~X11FrameBlitter() {
    if (!m_connection) {
        return;
    }
    for (xcb_pixmap_t pixmap : std::as_const(m_pixmaps)) {
        xcb_free_pixmap(m_connection, pixmap);
    }
    if (m_gc) {
        xcb_free_gc(m_connection, m_gc);
    }
    xcb_flush(m_connection);
}

bool X11FrameBlitter::upload(const QList<QImage>& frames) {
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
        return false;
    }
    // One round trip, once: the window's depth decides the pixmaps'.
    const auto geometry =
        ownReply(xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, m_window), nullptr));
    if (!geometry) {
        return false;
    }
    const uint8_t depth = geometry->depth;
    if ((depth != 24 && depth != 32) || bitsPerPixel(setup, depth) != 32) {
        return false;
    }
    m_size = frames.constFirst().size();
    // Requests are limited in size (in 4-byte units); large frames go up in bands of rows.
    const qsizetype maxBytes = qsizetype(xcb_get_maximum_request_length(m_connection)) * 4 - 64;
    QHash<qint64, xcb_pixmap_t> uploaded;
    for (const QImage& frame : frames) {
        const auto found = uploaded.constFind(frame.cacheKey());
        if (found != uploaded.constEnd()) {
            m_frameMap.append(*found);
            continue;
        }
        if (frame.size() != m_size) {
            return false;
        }
        const QImage pixels = frame.format() == QImage::Format_ARGB32_Premultiplied
                                  ? frame
                                  : frame.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const xcb_pixmap_t pixmap = xcb_generate_id(m_connection);
        xcb_create_pixmap(m_connection, depth, pixmap, m_window, uint16_t(m_size.width()),
                          uint16_t(m_size.height()));
        m_pixmaps.append(pixmap);
        if (!m_gc) {
            // No GraphicsExpose/NoExpose events: a copy wakes nobody up.
            m_gc = xcb_generate_id(m_connection);
            const uint32_t values[] = {0};
            xcb_create_gc(m_connection, m_gc, pixmap, XCB_GC_GRAPHICS_EXPOSURES, values);
        }
        const qsizetype lineBytes = pixels.bytesPerLine();
        const int band = int(std::max<qsizetype>(1, maxBytes / lineBytes));
        for (int top = 0; top < m_size.height(); top += band) {
            const int rows = std::min(band, m_size.height() - top);
            xcb_put_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, m_gc, uint16_t(m_size.width()),
                          uint16_t(rows), 0, int16_t(top), 0, depth, uint32_t(lineBytes * rows),
                          pixels.constScanLine(top));
        }
        uploaded.insert(frame.cacheKey(), pixmap);
        m_frameMap.append(pixmap);
    }
    xcb_flush(m_connection);
    return true;
}

bool X11FrameBlitter::show(int frame, QPoint devicePosition) {
    if (!m_ready || frame < 0 || frame >= m_frameMap.size()) {
        return false;
    }
    xcb_copy_area(m_connection, m_frameMap.at(frame), m_window, m_gc, 0, 0, int16_t(devicePosition.x()),
                  int16_t(devicePosition.y()), uint16_t(m_size.width()), uint16_t(m_size.height()));
    xcb_flush(m_connection);
    return true;
}
