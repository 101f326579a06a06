#include "ui/alerts/PulseIconView.h"

#include "ui/alerts/AlertCardView.h"
#include "ui/kit/PopoverStyle.h"

#include <QPainter>

PulseIconView::PulseIconView(AlertCardView* card)
    : QWidget(card)
    , m_card(card) {
    setFixedSize(PulseFrames::tileSize());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer.setInterval(PulseFrames::frameIntervalMs);
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
    if (!m_clock.isValid()) {
        m_clock.start();
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
        m_timer.start();
        advance();
    } else if (!run) {
        m_timer.stop();
    }
}

void PulseIconView::advance() {
    if (!m_frames) {
        return;
    }
    m_frame = PulseFrames::frameAt(m_clock.elapsed());
    if (m_frames->at(m_frame).cacheKey() != m_paintedImage) {
        update();
    }
}

void PulseIconView::paintEvent(QPaintEvent*) {
    if (!m_frames) {
        return;
    }
    const QImage& image = m_frames->at(m_frame);
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), image);
    m_paintedImage = image.cacheKey();
    ++m_paintCount;
}
