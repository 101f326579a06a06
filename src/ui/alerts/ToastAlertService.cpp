#include "ui/alerts/ToastAlertService.h"

#include "ui/alerts/ActiveTimerToastView.h"
#include "ui/alerts/AlertHub.h"
#include "ui/alerts/AlertPlacement.h"
#include "ui/alerts/AlertWindow.h"
#include "ui/alerts/FloatingAlertService.h"
#include "ui/alerts/ToastAlertView.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <climits>

namespace {
// Starts a single-shot wait of whole seconds; QTimer counts milliseconds in an int.
void startSeconds(QTimer& timer, int seconds) {
    timer.start(int(std::min<qint64>(qint64(seconds) * 1000, INT_MAX)));
}
} // namespace

ToastAlertService::ToastAlertService(QObject* parent)
    : QObject(parent) {
    for (QTimer* timer : {&m_dismissTimer, &m_cleanupTimer, &m_activeTimerDismissTimer}) {
        timer->setSingleShot(true);
    }
    connect(&m_dismissTimer, &QTimer::timeout, this, &ToastAlertService::dismissToast);
    connect(&m_activeTimerDismissTimer, &QTimer::timeout, this, &ToastAlertService::dismissActiveTimerToast);
    connect(&m_cleanupTimer, &QTimer::timeout, this, &ToastAlertService::performCleanup);
    // Queued: the snooze is handled after the menu's action has returned.
    connect(&AlertHub::instance(), &AlertHub::dismissToastAlert, this,
            &ToastAlertService::handleDismissToastAlert, Qt::QueuedConnection);
}

ToastAlertService::~ToastAlertService() {
    // Widgets may only be freed while the application object lives; at exit the process ends anyway.
    if (!QApplication::instance()) {
        return;
    }
    for (const QPointer<AlertWindow>& window : m_windowsToCleanup) {
        delete window.data();
    }
    delete m_toastWindow.data();
    delete m_activeTimerWindow.data();
}

ToastAlertService& ToastAlertService::shared() {
    static ToastAlertService* service = new ToastAlertService(QCoreApplication::instance());
    return *service;
}

void ToastAlertService::showToast(int autoDismissSeconds) {
    if (m_toastWindow) {
        dismissToast();
    }
    auto* view = new ToastAlertView;
    // "Click to start tracking your time": a click closes the toast and opens the popover.
    connect(view, &ToastAlertView::clicked, this, [this] {
        dismissToast();
        AlertHub::instance().requestOpenPopover();
    });
    auto* window = new AlertWindow(view, AlertPlacement::toastSize, AlertWindow::Workspaces::all);
    window->setObjectName(QStringLiteral("noTimerToast"));
    window->present(AlertPlacement::onPrimaryScreen(&AlertPlacement::toastTopLeft));
    m_toastWindow = window;
    if (autoDismissSeconds >= 1) {
        startSeconds(m_dismissTimer, autoDismissSeconds);
    }
}

void ToastAlertService::dismissToast() {
    hide(m_toastWindow, m_dismissTimer);
}

void ToastAlertService::showActiveTimerToast(const QString& taskName, const QString& elapsedText,
                                             int autoDismissSeconds) {
    dismissActiveTimerToast();
    auto* window = new AlertWindow(new ActiveTimerToastView(taskName, elapsedText),
                                   AlertPlacement::activeTimerToastSize, AlertWindow::Workspaces::all);
    window->setObjectName(QStringLiteral("activeTimerToast"));
    window->present(AlertPlacement::onPrimaryScreen(&AlertPlacement::activeTimerToastTopLeft));
    m_activeTimerWindow = window;
    if (autoDismissSeconds >= 1) {
        startSeconds(m_activeTimerDismissTimer, autoDismissSeconds);
    }
}

void ToastAlertService::dismissActiveTimerToast() {
    hide(m_activeTimerWindow, m_activeTimerDismissTimer);
}

void ToastAlertService::setOnDismissWithDuration(std::function<void(double)> callback) {
    m_onDismissWithDuration = std::move(callback);
}

void ToastAlertService::hide(QPointer<AlertWindow>& window, QTimer& dismissTimer) {
    dismissTimer.stop();
    if (!window) {
        return;
    }
    AlertWindow* hidden = window;
    window = nullptr;
    hidden->setIgnoresMouseEvents(true);
    hidden->hide();
    m_windowsToCleanup.append(hidden);
    scheduleCleanup();
}

void ToastAlertService::scheduleCleanup() {
    m_cleanupTimer.start(cleanupDelayMs);
}

void ToastAlertService::performCleanup() {
    const auto windows = std::exchange(m_windowsToCleanup, {});
    for (const QPointer<AlertWindow>& window : windows) {
        if (window) {
            window->close();
            window->deleteLater();
        }
    }
}

void ToastAlertService::handleDismissToastAlert(double duration) {
    dismissToast();
    if (m_floatingAlerts) {
        m_floatingAlerts->dismissAlert();
    }
    if (duration > 0 && m_onDismissWithDuration) {
        m_onDismissWithDuration(duration);
    }
}
