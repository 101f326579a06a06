#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QWindow>

#include <xcb/xcb.h>

// Puts pre-rendered frames of an animation on a window of ours without painting: the frames are
// uploaded once into pixmaps of the X server, and showing one is a single copy request on the
// server's side, sent without waiting for an answer. Showing a frame through Qt's backing store
// instead repaints, copies the frame into shared memory and waits for the server (a round trip) on
// every frame. Frames given as the same image (equal cache keys) share one pixmap.
//
// Works on the xcb platform for windows of 24 or 32 bits depth on a server that takes 32-bit pixels
// in little-endian order (Qt's premultiplied ARGB as it is); elsewhere isReady() is false and the
// caller paints as usual. The window must outlive the blitter. GUI thread only.
class X11FrameBlitter {
public:
    // window: the top-level window the frames are shown in; frames: square or not, all of one size.
    X11FrameBlitter(QWindow* window, const QList<QImage>& frames);
    ~X11FrameBlitter();
    X11FrameBlitter(const X11FrameBlitter&) = delete;
    X11FrameBlitter& operator=(const X11FrameBlitter&) = delete;

    bool isReady() const { return m_ready; }
    // Copies a frame to the window with its top left at a point in the window's device pixels.
    // False when not ready or the index is out of range.
    bool show(int frame, QPoint devicePosition);

private:
    bool upload(const QList<QImage>& frames);

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_window = 0;
    xcb_gcontext_t m_gc = 0;
    QList<xcb_pixmap_t> m_pixmaps;  // distinct pixmaps
    QList<xcb_pixmap_t> m_frameMap; // the pixmap of each frame
    QSize m_size;
    bool m_ready = false;
};
