#pragma once

#include <QWidget>

#include <functional>

class AppState;
class QLabel;
class QPushButton;
class QVBoxLayout;

// "Today's Activity" of the popover: today's total, the five applications used longest with a share
// bar, a line of contexts; while tracking is off, an invitation to turn it on. Built anew from the
// tracker whenever today's sessions or the tracking switch change; the session still open is not
// counted until it ends.
class AppUsageSection : public QWidget {
    Q_OBJECT

public:
    explicit AppUsageSection(AppState& appState, QWidget* parent = nullptr);

    // Shown rows at most, and context lines at most.
    static constexpr int maximumApps = 5;
    static constexpr int maximumContexts = 5;

    // What "View Full Report" does; without one the button is not shown.
    void setReportOpener(std::function<void()> opener);

public Q_SLOTS:
    void rebuild();

private:
    // Follows the state's tracker, which may be handed in after the section was made.
    void followTracker();
    void buildActive();
    void buildDisabled();
    void addReportButton(QVBoxLayout* list);

    AppState& m_appState;
    QVBoxLayout* m_layout;
    QWidget* m_body = nullptr;
    QObject* m_followedTracker = nullptr;
    std::function<void()> m_reportOpener;
};
