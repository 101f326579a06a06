#pragma once

#include "platform/SecretStore.h"

#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <functional>

class ElidedLabel;
class ProgressIndicator;
class QFrame;
class QLabel;
class QPushButton;
class QToolButton;
class TimerState;
class WorklogState;

// The popover's first block. While a timer runs: the elapsed hours and minutes in large green digits
// with the task name, a red "Stop" button, and "Open in ClickUp" and "Copy ID". While none runs: an
// orange box saying so, with today's logged total (when there is one), a spinner while the states
// load, and a hint to pick a task; below it the timer state's last error, if any.
//
// It redraws when the states it shows change and, while shown, once a second on its own clock, which
// updates the elapsed time and today's total and does nothing else. What it shows beyond the timer and
// today's worklog (whether the states load, whether the secret store could be read) and what its
// buttons ask for its owner hands in (MenuBarView::bindTimerStatusView).
class TimerStatusView : public QWidget {
    Q_OBJECT

public:
    // Opens an address for the user under a window title.
    using UrlOpener = std::function<void(const QUrl& url, const QString& title)>;

    static constexpr int clockIntervalMs = 1000;
    static constexpr int taskNameLimit = 50;

    TimerStatusView(const TimerState& timer, const WorklogState& worklog, QWidget* parent = nullptr);

    // "Open in ClickUp": opens the running timer's task page.
    void setUrlOpener(UrlOpener opener) { m_urlOpener = std::move(opener); }
    // "Stop": stops the running timer and returns at once.
    void setTimerStopper(std::function<void()> stopper) { m_timerStopper = std::move(stopper); }
    // The spinner of the idle form shows while a state loads.
    void setLoading(bool loading);
    // Whether the secret store could be read at the last configuration load.
    void setKeychainAccess(SecretStore::Access access);

    // A task name as the row and the browser window's title show it: up to 50 user-perceived
    // characters whole, a longer one cut to its first 47 followed by "...".
    static QString shortenedTaskName(const QString& name);

    // The row's own clock; it runs while the row is shown.
    const QTimer& clock() const { return m_clock; }

public Q_SLOTS:
    // One tick of the clock: the elapsed time and today's total, from Clock::now().
    void tick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildRunningForm();
    QWidget* buildIdleForm();
    void updateForm();
    void updateTimes();
    void updateError();
    void updateLoading();
    // The idle form's title and hint: "No Timer Running", or why nothing can load when the secret
    // store is locked or missing.
    void updateKeychainAccess();
    void stopTimer();
    void openInClickUp();
    void copyId();

    const TimerState& m_timer;
    const WorklogState& m_worklog;
    UrlOpener m_urlOpener;
    std::function<void()> m_timerStopper;
    bool m_isLoading = false;
    SecretStore::Access m_keychainAccess = SecretStore::Access::available;
    QTimer m_clock;

    QWidget* m_runningForm = nullptr;
    QLabel* m_elapsedLabel = nullptr;
    ElidedLabel* m_taskNameLabel = nullptr;
    QPushButton* m_stopButton = nullptr;
    QToolButton* m_openButton = nullptr;
    QToolButton* m_copyButton = nullptr;

    QWidget* m_idleForm = nullptr;
    QLabel* m_idleTitle = nullptr;
    QLabel* m_hintLabel = nullptr;
    QWidget* m_loggedTodayRow = nullptr;
    QLabel* m_loggedTodayLabel = nullptr;
    ProgressIndicator* m_loadingIndicator = nullptr;
    QWidget* m_errorRow = nullptr;
    QLabel* m_errorLabel = nullptr;
};
