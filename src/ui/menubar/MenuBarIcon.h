#pragma once

#include "services/clickup/ActiveTimer.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class TimerState;
class TrayIcon;
class SettingsStore;
class WorklogState;

// The tray item's face, drawn from the timer and today's worklog: while a timer runs, a blinking record dot
// and the text "⏺ 01:05 │ Implement the logi" (glyph, elapsed hours and minutes, the first 18 characters
// of the task name); otherwise the silent-mode bell or a clock, with today's logged total as text when there
// is any. The clock pulses orange (full to 40 % opacity and back, one second each way) while no timer runs,
// silent mode is off and "useMenuBarPulsing" is on (an absent setting counts as on).
//
// Trays that show text get the text as label (StatusNotifierItem); every tray gets it as tooltip
// ("Pendlow" when there is no text), except while the popover is open: then the tooltip is empty, so
// that no tray keeps it over the popover, and it comes back when the popover closes. The face is computed
// again on every change of the timer, silent mode or today's entries, and on every tick of the application's
// one-second clock, which also makes the dot blink; only what changed is sent to the tray. GUI thread only.
// Its owner hands in the silent-mode flag and whether the popover is open (MenuBarView::bindMenuBarIcon).
//
// The pulse is a short cycle of pre-rendered icons, one for each of pulseFrameCount opacities from
// 1.0 down to 0.4, drawn once per label. The label swaps to the next icon only when the eased fade
// crosses into the next opacity, so the tray gets three new icons a second and the same icon
// objects over and over (trays and Qt cache what they make of an icon by its identity). The pulse
// runs on FrameClock: a frame changes only at a whole step of that clock (the first step after
// the fade crossed), and the middle of each fade falls on a whole second, so that the process wakes
// for the pulse together with the application's one-second clock and the panel's pulse. While the
// pulse is paused (the screen is blanked) nothing is sent.
class MenuBarIcon : public QObject {
    Q_OBJECT

public:
    enum class Symbol { recordDot, recordDotSmall, silentBell, clock };
    Q_ENUM(Symbol)

    // What the label shows.
    struct Face {
        QString text; // the timer line, today's total, or empty
        Symbol symbol = Symbol::clock;
        bool shouldPulse = false; // the clock pulses orange
        bool operator==(const Face&) const = default;
    };

    static constexpr int taskNameLength = 18;
    static constexpr int pulseHalfPeriodMs = 1000;
    static constexpr qreal pulseLowOpacity = 0.4;
    // The pulse's opacities: 1.0, 0.8, 0.6 and 0.4.
    static constexpr int pulseFrameCount = 4;
    // The pulse's time is FrameClock's shifted by this much: the middle of a fade (500 ms into it)
    // falls on a whole second of FrameClock, where the application's clock ticks.
    static constexpr int pulsePhaseOffsetMs = 500;

    // The face for the given state. refreshTrigger picks the glyph: "⏺" when true, "●" when false.
    static Face faceFor(const std::optional<ActiveTimer>& timer, bool refreshTrigger, bool silentModeActive,
                        double totalTimeToday, const QString& totalTimeText, bool useMenuBarPulsing);
    // "⏺ 01:05 │ Implement the logi".
    static QString timerText(const ActiveTimer& timer, bool refreshTrigger);
    // The first taskNameLength user-perceived characters of the name, without an ellipsis.
    static QString taskNamePrefix(const QString& name);
    // The clock's opacity at a time into the pulse: 1.0 at 0, 0.4 at 1 s, 1.0 at 2 s, eased in and out.
    static qreal pulseOpacity(qint64 msIntoPulse);
    // The frame of the pulse at a time into it: the index of the opacity nearest the eased fade at
    // the start of the FrameClock step the time falls in.
    static int pulseFrameAt(qint64 msIntoPulse);
    static qreal pulseFrameOpacity(int frame);
    // Milliseconds from a time into the pulse until the frame changes.
    static int msUntilNextPulseFrame(qint64 msIntoPulse);
    // The icon of a symbol in the sizes the tray may draw; orange for the pulsing clock.
    static QList<QImage> iconImages(Symbol symbol, bool orange, qreal opacity);
    static QImage symbolImage(Symbol symbol, bool orange, qreal opacity, int size);
    static const QList<int>& iconSizes();

    // settings: "useMenuBarPulsing".
    MenuBarIcon(const TimerState& timer, const WorklogState& worklog, const SettingsStore& settings,
                TrayIcon& tray, QObject* parent = nullptr);

    void setSilentModeActive(bool active);
    void setPopoverVisible(bool visible);

    // The application's one-second clock: the glyph follows the trigger, and the face is redrawn.
    void setRefreshTrigger(bool trigger);
    // Computes the face from the state and sends what changed to the tray.
    void redraw();
    // Holds the pulse (while the screen is blanked or locked): no frame goes to the tray until it
    // is resumed.
    void setPulsePaused(bool paused);
    bool isPulsePaused() const { return m_pulsePaused; }

    const Face& face() const { return m_face; }
    // The tooltip for the present face (what the tray shows while the popover is closed).
    QString toolTipText() const;
    bool refreshTrigger() const { return m_refreshTrigger; }
    // The pulse is running.
    bool isPulsing() const { return m_isPulsing; }
    // The opacity the clock was last drawn with.
    qreal clockOpacity() const { return m_clockOpacity; }
    // The pulse's next frame is due (its timer runs).
    bool isPulseScheduled() const { return m_pulseTimer.isActive(); }

Q_SIGNALS:
    void faceChanged();
    // A new icon went to the tray (a change of symbol, or a frame of the pulse).
    void iconChanged();

private:
    void setPulsing(bool pulsing);
    void drawIcon();
    void pulseFrame();
    void updateToolTip();
    void schedulePulseFrame();
    const QList<QImage>& pulseFrameImages(int frame);
    static qint64 msIntoPulse();

    const TimerState& m_timer;
    const WorklogState& m_worklog;
    const SettingsStore& m_settings;
    TrayIcon& m_tray;
    bool m_silentModeActive = false;
    bool m_popoverVisible = false;
    Face m_face;
    bool m_hasDrawn = false;
    bool m_refreshTrigger = false;
    bool m_isPulsing = false;
    bool m_pulsePaused = false;
    qreal m_clockOpacity = 1.0;
    int m_shownPulseFrame = -1;
    // The pulse's icons, drawn on first use: one list of sizes per frame.
    QList<QList<QImage>> m_pulseFrames;
    // The still symbols' icons, drawn on first use.
    QHash<Symbol, QList<QImage>> m_symbolImages;
    QTimer m_pulseTimer;
};
