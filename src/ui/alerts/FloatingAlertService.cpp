#include "ui/alerts/FloatingAlertService.h"

#include "ui/alerts/AlertHub.h"
#include "ui/alerts/AlertPlacement.h"
#include "ui/alerts/AlertWindow.h"
#include "ui/alerts/NoTimerAlertView.h"
#include "ui/alerts/ToastAlertService.h"

#include <QApplication>

#include <algorithm>
#include <climits>

FloatingAlertService::FloatingAlertService(QObject* parent)
    : QObject(parent) {
    m_dismissTimer.setSingleShot(true);
    connect(&m_dismissTimer, &QTimer::timeout, this, &FloatingAlertService::dismissAlert);
}

FloatingAlertService::~FloatingAlertService() {
    // Widgets may only be freed while the application object lives; at exit the process ends anyway.
    if (QApplication::instance()) {
        delete m_alertPanel.data();
    }
}

FloatingAlertService& FloatingAlertService::shared() {
    static FloatingAlertService* service = new FloatingAlertService(QCoreApplication::instance());
    return *service;
}

void FloatingAlertService::showAlert(int autoDismissSeconds, std::function<void()> onStart,
                                     std::function<void(double)> onDismiss) {
    QPointer<FloatingAlertService> self(this);
    auto startTimer = [self, onStart = std::move(onStart)] {
        if (onStart) {
            onStart();
        }
        if (self) {
            self->dismissAlert();
        }
        AlertHub::instance().requestOpenPopover();
    };
    auto dismiss = [self, onDismiss = std::move(onDismiss)](double seconds) {
        if (self) {
            self->dismissAlert();
            if (self->m_toastAlerts) {
                self->m_toastAlerts->dismissToast();
            }
        }
        if (onDismiss) {
            onDismiss(seconds);
        }
    };
    if (m_alertPanel && m_alertView && m_alertPanel->isVisible()) {
        // The next reminder while the panel is up: the same panel takes the new callbacks and time, so
        // that a menu the user has open stays open.
        m_dismissTimer.stop();
        m_alertView->setCallbacks(std::move(startTimer), std::move(dismiss));
    } else {
        dismissAlert();
        auto* view = new NoTimerAlertView(std::move(startTimer), std::move(dismiss));
        view->setPulsePaused(m_pulsePaused);
        auto* panel = new AlertWindow(view, AlertPlacement::panelSize, AlertWindow::Workspaces::current);
        panel->setObjectName(QStringLiteral("noTimerPanel"));
        panel->setMovableByBackground(true);
        panel->present(AlertPlacement::onPrimaryScreen(&AlertPlacement::panelTopLeft));
        m_alertPanel = panel;
        m_alertView = view;
    }
    if (autoDismissSeconds >= 1) {
        m_dismissTimer.start(int(std::min<qint64>(qint64(autoDismissSeconds) * 1000, INT_MAX)));
    }
}

void FloatingAlertService::setPulsePaused(bool paused) {
    m_pulsePaused = paused;
    if (m_alertPanel) {
        static_cast<NoTimerAlertView*>(m_alertPanel->content())->setPulsePaused(paused);
    }
}

void FloatingAlertService::dismissAlert() {
    m_dismissTimer.stop();
    if (!m_alertPanel) {
        return;
    }
    AlertWindow* panel = m_alertPanel;
    m_alertPanel = nullptr;
    m_alertView = nullptr;
    panel->hide();
    panel->close();
    panel->deleteLater();
}
