#pragma once

#include "platform/X11FrameBlitter.h"
#include "ui/alerts/PulseFrames.h"

#include <QTimer>
#include <QWidget>

#include <memory>

class AlertCardView;

// The no-timer panel's pulsing warning icon: shows the shared pre-rendered frames of PulseFrames,
// up to 10 a second, over the card it sits on. It covers only the tile the pulse needs and is
// opaque, so a frame touches that tile alone (neither the card nor the rest of the window). On X11
// the frames go to the server once as pixmaps and each frame is one copy request (X11FrameBlitter):
// no repaint and no round trip per frame. Elsewhere, or while the tile is partly covered, a frame
// repaints the tile. The pulse's time is FrameClock's, and its timer wakes only when the image on
// screen changes, at a whole step of that clock, together with the tray icon's pulse and the
// application's clock. It runs while it is visible and not paused; hidden or paused (the screen is
// blanked), no timer runs and nothing is shown. Clicks go through to the card.
class PulseIconView : public QWidget {
    Q_OBJECT

public:
    explicit PulseIconView(AlertCardView* card);

    // Centres the icon on a point of the card.
    void centreOn(QPoint centre);
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    // The pulse runs: visible, not paused, its timer going.
    bool isRunning() const { return m_timer.isActive(); }
    // The frame on screen, and how far it has swollen (0 to 1).
    int frame() const { return m_frame; }
    qreal swell() const { return PulseFrames::swellOf(m_frame); }
    // The image of the frame on screen.
    QImage shownImage() const { return m_frames ? m_frames->at(m_frame) : QImage(); }
    // How often the icon has painted itself.
    int paintCount() const { return m_paintCount; }
    // How many frames it has put on screen, painted or copied.
    int framesShown() const { return m_framesShown; }
    // Frames are copied by the X server rather than painted.
    bool isBlitting() const { return m_blitter && m_blitter->isReady(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void advance();
    void scheduleNext();
    bool blit(const QImage& image);
    void updateRunning();
    PulseFrames::Look look() const;

    AlertCardView* m_card;
    PulseFrames::Frames m_frames;
    QTimer m_timer;
    int m_frame = 0;
    std::unique_ptr<X11FrameBlitter> m_blitter;
    PulseFrames::Frames m_blitterFrames;
    qint64 m_shownImage = 0;
    int m_paintCount = 0;
    int m_framesShown = 0;
    bool m_paused = false;
};
