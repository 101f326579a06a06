#include "alerts/FloatingAlertService.h"

#include "alerts/AlertHub.h"
#include "alerts/AlertPlacement.h"
#include "alerts/AlertWindow.h"
#include "alerts/NoTimerAlertView.h"
#include "alerts/ToastAlertService.h"

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
    dismissAlert();
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
            (self->m_toastAlerts ? *self->m_toastAlerts : ToastAlertService::shared()).dismissToast();
        }
        if (onDismiss) {
            onDismiss(seconds);
        }
    };
    auto* view = new NoTimerAlertView(std::move(startTimer), std::move(dismiss));
    view->setPulsePaused(m_pulsePaused);
    auto* panel = new AlertWindow(view, AlertPlacement::panelSize, AlertWindow::Workspaces::current);
    panel->setObjectName(QStringLiteral("noTimerPanel"));
    panel->setMovableByBackground(true);
    panel->present(AlertPlacement::onPrimaryScreen(&AlertPlacement::panelTopLeft));
    m_alertPanel = panel;
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
    panel->hide();
    panel->close();
    panel->deleteLater();
}
