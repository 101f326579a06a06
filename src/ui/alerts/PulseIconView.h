#pragma once

#include "ui/alerts/PulseFrames.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class AlertCardView;

// The no-timer panel's pulsing warning icon: shows the shared pre-rendered frames of PulseFrames,
// 20 a second, over the card it sits on. It covers only the tile the pulse needs and paints it
// opaquely, so each frame repaints that tile alone (neither the card nor the rest of the window), and
// only when the frame's image differs from the one on screen. It runs while it is visible and not
// paused; hidden or paused (the screen is blanked), no timer runs and nothing is painted. Clicks go
// through to the card.
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
    // How often the icon has painted itself.
    int paintCount() const { return m_paintCount; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void advance();
    void updateRunning();
    PulseFrames::Look look() const;

    AlertCardView* m_card;
    PulseFrames::Frames m_frames;
    QTimer m_timer;
    QElapsedTimer m_clock;
    int m_frame = 0;
    qint64 m_paintedImage = 0;
    int m_paintCount = 0;
    bool m_paused = false;
};
