#include "ui/menubar/MenuBarIcon.h"

#include "core/CharacterTruncation.h"
#include "core/SettingsStore.h"
#include "platform/TrayIcon.h"
#include "services/clickup/TimerState.h"
#include "services/clickup/WorklogState.h"
#include "ui/kit/FrameClock.h"

#include <QEasingCurve>
#include <QHash>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
const QColor recordRed(0xff, 0x3b, 0x30);
const QColor pulseOrange(0xff, 0x95, 0x00);
// The primary colour of a tray glyph: light, with a dark rim so that it also stands out on light panels.
const QColor glyphColor(0xf2, 0xf2, 0xf2);
const QColor glyphRim(0, 0, 0, 140);

const QString toolTipWithoutText = QStringLiteral("Pendlow");

// The curve of an ease-in-out animation: cubic Bézier (0.42, 0) (0.58, 1).
const QEasingCurve& easeInOut() {
    static const QEasingCurve curve = [] {
        QEasingCurve c(QEasingCurve::BezierSpline);
        c.addCubicBezierSegment(QPointF(0.42, 0.0), QPointF(0.58, 1.0), QPointF(1.0, 1.0));
        return c;
    }();
    return curve;
}

void drawGlyph(QPainter& painter, MenuBarIcon::Symbol symbol, qreal s, const QColor& color) {
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(s / 2, s / 2);
    switch (symbol) {
    case MenuBarIcon::Symbol::recordDot:
    case MenuBarIcon::Symbol::recordDotSmall: {
        const qreal radius = s * (symbol == MenuBarIcon::Symbol::recordDot ? 0.34 : 0.24);
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(centre, radius, radius);
        break;
    }
    case MenuBarIcon::Symbol::clock: {
        const qreal stroke = std::max(1.5, s / 10.0);
        const qreal radius = s * 0.42 - stroke / 2;
        QPen pen(color, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, radius, radius);
        painter.drawLine(centre, centre + QPointF(0, -radius * 0.62));
        painter.drawLine(centre, centre + QPointF(radius * 0.48, 0));
        break;
    }
    case MenuBarIcon::Symbol::silentBell: {
        QPainterPath bell;
        const qreal left = s * 0.20;
        const qreal right = s * 0.80;
        const qreal rim = s * 0.72;
        bell.moveTo(left, rim);
        bell.quadTo(s * 0.27, s * 0.62, s * 0.27, s * 0.45);
        bell.cubicTo(s * 0.27, s * 0.12, s * 0.73, s * 0.12, s * 0.73, s * 0.45);
        bell.quadTo(s * 0.73, s * 0.62, right, rim);
        bell.closeSubpath();
        bell.addEllipse(QPointF(s / 2, s * 0.80), s * 0.09, s * 0.07);
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawPath(bell);
        // The slash, with a clear gap around it.
        const QLineF slash(QPointF(s * 0.14, s * 0.12), QPointF(s * 0.86, s * 0.88));
        const qreal stroke = std::max(1.2, s / 12.0);
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.setPen(QPen(Qt::transparent, stroke * 2.6, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(slash);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setPen(QPen(color, stroke, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(slash);
        break;
    }
    }
}

// The times into the pulse (0 to one full period) at which its frame changes, worked out once.
const std::vector<int>& pulseFrameChanges() {
    static const std::vector<int> changes = [] {
        std::vector<int> result;
        int previous = MenuBarIcon::pulseFrameAt(0);
        for (int ms = 1; ms < 2 * MenuBarIcon::pulseHalfPeriodMs; ++ms) {
            const int frame = MenuBarIcon::pulseFrameAt(ms);
            if (frame != previous) {
                result.push_back(ms);
                previous = frame;
            }
        }
        return result;
    }();
    return changes;
}

// A glyph in one colour, with a thin dark rim around it.
QImage withRim(const QImage& glyph) {
    QImage rim(glyph.size(), QImage::Format_ARGB32_Premultiplied);
    rim.fill(Qt::transparent);
    QPainter painter(&rim);
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx != 0 || dy != 0) {
                painter.drawImage(QPoint(dx, dy), glyph);
            }
        }
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(rim.rect(), glyphRim);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPoint(0, 0), glyph);
    return rim;
}
} // namespace

MenuBarIcon::Face MenuBarIcon::faceFor(const std::optional<ActiveTimer>& timer, bool refreshTrigger,
                                       bool silentModeActive, double totalTimeToday,
                                       const QString& totalTimeText, bool useMenuBarPulsing) {
    Face face;
    if (timer) {
        face.text = timerText(*timer, refreshTrigger);
        face.symbol = refreshTrigger ? Symbol::recordDot : Symbol::recordDotSmall;
        return face;
    }
    if (totalTimeToday > 0) {
        face.text = totalTimeText;
    }
    face.symbol = silentModeActive ? Symbol::silentBell : Symbol::clock;
    face.shouldPulse = !silentModeActive && useMenuBarPulsing;
    return face;
}

QString MenuBarIcon::timerText(const ActiveTimer& timer, bool refreshTrigger) {
    const QString glyph = refreshTrigger ? QStringLiteral("\u23FA") : QStringLiteral("\u25CF");
    return glyph + QLatin1Char(' ') + timer.elapsedTimeString() + QStringLiteral(" \u2502 ") +
           taskNamePrefix(timer.taskName);
}

QString MenuBarIcon::taskNamePrefix(const QString& name) {
    return firstCharacters(name, taskNameLength);
}

qreal MenuBarIcon::pulseOpacity(qint64 msIntoPulse) {
    const qint64 period = 2 * pulseHalfPeriodMs;
    const qint64 phase = ((msIntoPulse % period) + period) % period;
    const qreal progress = phase <= pulseHalfPeriodMs ? qreal(phase) / pulseHalfPeriodMs
                                                      : qreal(period - phase) / pulseHalfPeriodMs;
    return 1.0 - (1.0 - pulseLowOpacity) * easeInOut().valueForProgress(progress);
}

int MenuBarIcon::pulseFrameAt(qint64 msIntoPulse) {
    const qreal step = (1.0 - pulseLowOpacity) / (pulseFrameCount - 1);
    // The fade a millisecond into the step: a crossing right at the step's start (the middle of the
    // fade, on a whole second) counts as crossed, on the way down and up alike.
    const qint64 intoStep = ((msIntoPulse % FrameClock::gridMs) + FrameClock::gridMs) % FrameClock::gridMs;
    const int frame = qRound((1.0 - pulseOpacity(msIntoPulse - intoStep + 1)) / step);
    return std::clamp(frame, 0, pulseFrameCount - 1);
}

qreal MenuBarIcon::pulseFrameOpacity(int frame) {
    const qreal step = (1.0 - pulseLowOpacity) / (pulseFrameCount - 1);
    return 1.0 - step * std::clamp(frame, 0, pulseFrameCount - 1);
}

int MenuBarIcon::msUntilNextPulseFrame(qint64 msIntoPulse) {
    const qint64 period = 2 * pulseHalfPeriodMs;
    const int phase = int(((msIntoPulse % period) + period) % period);
    const std::vector<int>& changes = pulseFrameChanges();
    if (changes.empty()) {
        return int(period - phase);
    }
    const auto next = std::upper_bound(changes.begin(), changes.end(), phase);
    return next != changes.end() ? *next - phase : int(period - phase + changes.front());
}

const QList<int>& MenuBarIcon::iconSizes() {
    static const QList<int> sizes{16, 22, 32};
    return sizes;
}

QImage MenuBarIcon::symbolImage(Symbol symbol, bool orange, qreal opacity, int size) {
    // The full-opacity glyphs are drawn once; the pulse only fades them.
    static QHash<QString, QImage> drawn;
    const QString key = QStringLiteral("%1/%2/%3").arg(int(symbol)).arg(orange).arg(size);
    auto found = drawn.constFind(key);
    if (found == drawn.constEnd()) {
        QImage glyph(size, size, QImage::Format_ARGB32_Premultiplied);
        glyph.fill(Qt::transparent);
        {
            QPainter painter(&glyph);
            QColor color = glyphColor;
            if (symbol == Symbol::recordDot || symbol == Symbol::recordDotSmall) {
                color = recordRed;
            } else if (orange) {
                color = pulseOrange;
            }
            drawGlyph(painter, symbol, size, color);
        }
        if ((symbol == Symbol::clock || symbol == Symbol::silentBell) && !orange) {
            glyph = withRim(glyph);
        }
        found = drawn.insert(key, glyph);
    }
    if (opacity >= 1.0) {
        return *found;
    }
    QImage faded(found->size(), QImage::Format_ARGB32_Premultiplied);
    faded.fill(Qt::transparent);
    QPainter painter(&faded);
    painter.setOpacity(std::max<qreal>(0.0, opacity));
    painter.drawImage(QPoint(0, 0), *found);
    return faded;
}

QList<QImage> MenuBarIcon::iconImages(Symbol symbol, bool orange, qreal opacity) {
    QList<QImage> images;
    for (int size : iconSizes()) {
        images.append(symbolImage(symbol, orange, opacity, size));
    }
    return images;
}

MenuBarIcon::MenuBarIcon(const TimerState& timer, const WorklogState& worklog, const SettingsStore& settings,
                         TrayIcon& tray, QObject* parent)
    : QObject(parent)
    , m_timer(timer)
    , m_worklog(worklog)
    , m_settings(settings)
    , m_tray(tray) {
    m_pulseTimer.setSingleShot(true);
    connect(&m_pulseTimer, &QTimer::timeout, this, &MenuBarIcon::pulseFrame);
    connect(&m_timer, &TimerState::activeTimerChanged, this, &MenuBarIcon::redraw);
    connect(&m_worklog, &WorklogState::timeEntriesChanged, this, &MenuBarIcon::redraw);
    redraw();
}

void MenuBarIcon::setSilentModeActive(bool active) {
    if (m_silentModeActive == active) {
        return;
    }
    m_silentModeActive = active;
    redraw();
}

void MenuBarIcon::setPopoverVisible(bool visible) {
    if (m_popoverVisible == visible) {
        return;
    }
    m_popoverVisible = visible;
    updateToolTip();
}

QString MenuBarIcon::toolTipText() const {
    return m_face.text.isEmpty() ? toolTipWithoutText : m_face.text;
}

void MenuBarIcon::updateToolTip() {
    // Some trays (xfce4-panel) keep a shown tooltip above every window, the open popover too: none
    // while the popover is open.
    m_tray.setToolTip(m_popoverVisible ? QString() : toolTipText());
}

void MenuBarIcon::setRefreshTrigger(bool trigger) {
    m_refreshTrigger = trigger;
    redraw();
}

void MenuBarIcon::redraw() {
    const std::optional<ActiveTimer>& timer = m_timer.activeTimer();
    const bool silent = m_silentModeActive;
    // The setting is read only where it counts: reading it on every tick of a running timer made the
    // settings store look at its file once a second.
    const bool pulsingWanted = !timer && !silent && m_settings.useMenuBarPulsing();
    // Today's total shows only while no timer runs; it sums all of today's entries, so a running
    // timer's tick leaves it alone.
    const double total = timer ? 0.0 : m_worklog.totalDuration();
    const Face face = faceFor(timer, m_refreshTrigger, silent, total,
                              total > 0 ? m_worklog.totalTimeText() : QString(), pulsingWanted);
    if (m_hasDrawn && face == m_face) {
        return;
    }
    const bool firstDraw = !m_hasDrawn;
    const bool textChanged = firstDraw || face.text != m_face.text;
    const bool iconChanged =
        firstDraw || face.symbol != m_face.symbol || face.shouldPulse != m_face.shouldPulse;
    m_face = face;
    m_hasDrawn = true;
    if (textChanged) {
        m_tray.setLabel(face.text, face.text);
        updateToolTip();
    }
    if (iconChanged) {
        setPulsing(face.shouldPulse);
        drawIcon();
    }
    emit faceChanged();
}

void MenuBarIcon::setPulsing(bool pulsing) {
    if (pulsing == m_isPulsing) {
        return;
    }
    m_isPulsing = pulsing;
    m_shownPulseFrame = -1;
    if (!pulsing) {
        m_pulseTimer.stop();
    }
}

void MenuBarIcon::setPulsePaused(bool paused) {
    if (paused == m_pulsePaused) {
        return;
    }
    m_pulsePaused = paused;
    if (paused) {
        m_pulseTimer.stop();
    } else if (m_isPulsing) {
        pulseFrame();
    }
}

void MenuBarIcon::drawIcon() {
    if (!m_isPulsing) {
        m_clockOpacity = 1.0;
        // The symbols' images are made once: the record dot alternates every second.
        auto images = m_symbolImages.constFind(m_face.symbol);
        if (images == m_symbolImages.constEnd()) {
            images = m_symbolImages.insert(m_face.symbol, iconImages(m_face.symbol, false, 1.0));
        }
        m_tray.setIcon(*images);
        emit iconChanged();
        return;
    }
    pulseFrame();
}

void MenuBarIcon::pulseFrame() {
    if (!m_isPulsing) {
        return;
    }
    const int frame = pulseFrameAt(msIntoPulse());
    if (frame != m_shownPulseFrame) {
        m_shownPulseFrame = frame;
        m_clockOpacity = pulseFrameOpacity(frame);
        m_tray.setIcon(pulseFrameImages(frame));
        emit iconChanged();
    }
    schedulePulseFrame();
}

void MenuBarIcon::schedulePulseFrame() {
    if (!m_isPulsing || m_pulsePaused) {
        m_pulseTimer.stop();
        return;
    }
    FrameClock::startAt(m_pulseTimer, FrameClock::nowMs() + msUntilNextPulseFrame(msIntoPulse()));
}

qint64 MenuBarIcon::msIntoPulse() {
    return FrameClock::nowMs() + pulsePhaseOffsetMs;
}

const QList<QImage>& MenuBarIcon::pulseFrameImages(int frame) {
    if (m_pulseFrames.isEmpty()) {
        m_pulseFrames.reserve(pulseFrameCount);
        for (int i = 0; i < pulseFrameCount; ++i) {
            m_pulseFrames.append(iconImages(Symbol::clock, true, pulseFrameOpacity(i)));
        }
    }
    return m_pulseFrames.at(std::clamp(frame, 0, pulseFrameCount - 1));
}
