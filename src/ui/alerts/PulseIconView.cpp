#include "ui/alerts/PulseIconView.h"

#include "ui/alerts/AlertCardView.h"
#include "ui/kit/FrameClock.h"
#include "ui/kit/PopoverStyle.h"

#include <QGuiApplication>
#include <QPainter>

#include <algorithm>

PulseIconView::PulseIconView(AlertCardView* card)
    : QWidget(card)
    , m_card(card) {
    setFixedSize(PulseFrames::tileSize());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &PulseIconView::advance);
}

void PulseIconView::centreOn(QPoint centre) {
    move(centre - QPoint(width() / 2, height() / 2));
}

void PulseIconView::setPaused(bool paused) {
    if (m_paused != paused) {
        m_paused = paused;
        updateRunning();
    }
}

PulseFrames::Look PulseIconView::look() const {
    return PulseFrames::Look{m_card->cardColor(),
                             PopoverStyle::withAlpha(PopoverStyle::orange(m_card->palette()), 0.2),
                             QStringLiteral("dialog-warning"), devicePixelRatioF()};
}

void PulseIconView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The card's colour depends on the window it ended up in (translucent or not).
    m_frames = PulseFrames::frames(look());
    if (m_blitterFrames != m_frames) {
        m_blitter.reset();
        m_blitterFrames.reset();
        if (QGuiApplication::platformName() == u"xcb" && window()->windowHandle()) {
            m_blitter = std::make_unique<X11FrameBlitter>(window()->windowHandle(), *m_frames);
            m_blitterFrames = m_frames;
        }
    }
    updateRunning();
}

void PulseIconView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    updateRunning();
}

void PulseIconView::updateRunning() {
    const bool run = isVisible() && !m_paused && m_frames;
    if (run && !m_timer.isActive()) {
        advance();
    } else if (!run && m_timer.isActive()) {
        m_timer.stop();
        // What the window keeps for this tile (it shows it again when exposed) catches up with
        // the last frame copied to the screen.
        update();
    }
}

void PulseIconView::scheduleNext() {
    const qint64 now = FrameClock::nowMs();
    FrameClock::startAt(m_timer, now + PulseFrames::msUntilChange(*m_frames, now));
}

void PulseIconView::advance() {
    if (!m_frames) {
        return;
    }
    m_frame = PulseFrames::frameAt(FrameClock::nowMs());
    const QImage& image = m_frames->at(m_frame);
    if (image.cacheKey() != m_shownImage && !blit(image)) {
        update();
    }
    scheduleNext();
}

bool PulseIconView::blit(const QImage& image) {
    if (!isBlitting() || visibleRegion() != QRegion(rect())) {
        return false;
    }
    const QPoint device = (QPointF(mapTo(window(), QPoint(0, 0))) * devicePixelRatioF()).toPoint();
    if (!m_blitter->show(int(m_frame), device)) {
        return false;
    }
    m_shownImage = image.cacheKey();
    ++m_framesShown;
    return true;
}

void PulseIconView::paintEvent(QPaintEvent*) {
    if (!m_frames) {
        return;
    }
    const QImage& image = m_frames->at(m_frame);
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), image);
    if (m_shownImage != image.cacheKey()) {
        m_shownImage = image.cacheKey();
        ++m_framesShown;
    }
    ++m_paintCount;
}
