#include "ui/menubar/FooterView.h"

#include "core/Clock.h"
#include "core/DetachedTask.h"
#include "core/Formatting.h"
#include "core/Log.h"
#include "core/UserDefaultsServiceProtocol.h"
#include "platform/PopupBrowserService.h"
#include "services/AppState.h"
#include "services/forwarding/EmailForwardingServiceProtocol.h"
#include "services/updates/UpdateService.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/kit/ProgressIndicator.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr qreal pointSize = 12;
const QString settingsUnavailable =
    QStringLiteral("The settings window is not available in this version yet");

// Runs the action once the current event has been handled, as the buttons' tasks do.
void later(QObject* context, std::function<void()> action) {
    QMetaObject::invokeMethod(context, std::move(action), Qt::QueuedConnection);
}

// The forward, then the button back, whatever the outcome (the root state reports it).
QCoro::Task<> forwardThenReset(QPointer<AppState> state, std::function<void()> reset) {
    if (state) {
        co_await state->forwardCurrentEmail();
    }
    reset();
}
} // namespace

FooterView::FooterView(AppState& appState, QWidget* parent)
    : QWidget(parent)
    , m_appState(appState)
    , m_urlOpener([&appState](const QUrl& url, const QString& title) { appState.openPage(url, title); })
    , m_quitAction([] { QApplication::quit(); }) {
    const QPalette& colors = palette();
    const QColor primary = PopoverStyle::primaryText(colors);
    const QColor secondary = PopoverStyle::secondaryText(colors);

    // Silent mode on: the countdown line.
    m_silentLine = new QWidget(this);
    m_silentLine->setObjectName(QStringLiteral("silentModeLine"));
    m_silentLabel = new QLabel(m_silentLine);
    m_silentLabel->setObjectName(QStringLiteral("silentModeLabel"));
    m_silentLabel->setFont(PopoverStyle::font(pointSize));
    PopoverStyle::setTextColor(m_silentLabel, PopoverStyle::orange(colors));
    m_disableSilentButton = PopoverStyle::plainButton(QString(), QStringLiteral("edit-clear"), pointSize,
                                                      secondary, m_silentLine);
    m_disableSilentButton->setObjectName(QStringLiteral("disableSilentModeButton"));
    m_disableSilentButton->setToolTip(QStringLiteral("Disable Silent Mode"));
    connect(m_disableSilentButton, &QToolButton::clicked, this, [this] {
        QPointer<AppState> state(&m_appState);
        later(this, [state] {
            if (state) {
                runDetached(state->disableSilentMode(), QStringLiteral("Disabling silent mode failed"),
                            Log::Category::ui);
            }
        });
    });
    auto* silentLayout = new QHBoxLayout(m_silentLine);
    silentLayout->setContentsMargins(0, 0, 0, 0);
    silentLayout->setSpacing(8);
    silentLayout->addWidget(m_silentLabel);
    silentLayout->addWidget(m_disableSilentButton);
    silentLayout->addStretch(1);

    // Silent mode off: the menu of durations.
    m_silentModeButton = PopoverStyle::plainButton(
        QStringLiteral("Silent Mode"), QStringLiteral("notifications-disabled"), pointSize, primary, this);
    m_silentModeButton->setObjectName(QStringLiteral("silentModeButton"));
    m_silentModeButton->setPopupMode(QToolButton::InstantPopup);
    m_silentModeButton->setStyleSheet(
        m_silentModeButton->styleSheet() +
        QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
    m_silentModeMenu = new QMenu(m_silentModeButton);
    m_silentModeMenu->setObjectName(QStringLiteral("silentModeMenu"));
    for (const SilentModeChoice& choice : silentModeChoices()) {
        QAction* action = m_silentModeMenu->addAction(choice.title);
        const double seconds = choice.seconds;
        connect(action, &QAction::triggered, this, [this, seconds] {
            QPointer<AppState> state(&m_appState);
            later(this, [state, seconds] {
                if (state) {
                    runDetached(state->enableSilentMode(seconds),
                                QStringLiteral("Enabling silent mode failed"), Log::Category::ui);
                }
            });
        });
    }
    m_silentModeButton->setMenu(m_silentModeMenu);
    auto* silentMenuLine = new QHBoxLayout;
    silentMenuLine->setSpacing(0);
    silentMenuLine->addWidget(m_silentModeButton);
    silentMenuLine->addStretch(1);

    // Row 1: Dashboard and the version.
    m_dashboardButton = PopoverStyle::plainButton(
        QStringLiteral("Dashboard"), QStringLiteral("x-office-calendar"), pointSize, primary, this);
    m_dashboardButton->setObjectName(QStringLiteral("dashboardButton"));
    connect(m_dashboardButton, &QToolButton::clicked, this, &FooterView::openDashboard);
    m_emailButton = PopoverStyle::plainButton(QStringLiteral("Email → ClickUp"),
                                              QStringLiteral("mail-forward"), pointSize, primary, this);
    m_emailButton->setObjectName(QStringLiteral("emailForwardButton"));
    m_emailButton->setToolTip(QStringLiteral("Forward the open email to ClickUp via n8n"));
    connect(m_emailButton, &QToolButton::clicked, this, &FooterView::forwardEmail);
    m_emailProgress = new ProgressIndicator(12, this);
    m_emailProgress->setObjectName(QStringLiteral("emailForwardProgress"));
    m_emailProgress->hide();
    m_versionLabel = new QLabel(QStringLiteral("v") + appVersion(), this);
    m_versionLabel->setObjectName(QStringLiteral("versionLabel"));
    m_versionLabel->setFont(PopoverStyle::font(10));
    PopoverStyle::setTextColor(m_versionLabel, PopoverStyle::tertiaryText(colors));
    auto* row1 = new QHBoxLayout;
    row1->setSpacing(8);
    row1->addWidget(m_dashboardButton);
    row1->addWidget(m_emailButton);
    row1->addWidget(m_emailProgress);
    row1->addStretch(1);
    row1->addWidget(m_versionLabel);

    // Row 2: Settings, Updates and Quit.
    m_settingsButton = PopoverStyle::plainButton(
        QStringLiteral("Settings"), QStringLiteral("preferences-system"), pointSize, primary, this);
    m_settingsButton->setObjectName(QStringLiteral("settingsButton"));
    m_settingsButton->setEnabled(false);
    m_settingsButton->setToolTip(settingsUnavailable);
    connect(m_settingsButton, &QToolButton::clicked, this, [this] {
        if (m_settingsAction) {
            m_settingsAction();
        }
    });
    m_updatesButton = PopoverStyle::plainButton(QStringLiteral("Updates"), QStringLiteral("view-refresh"),
                                                pointSize, primary, this);
    m_updatesButton->setObjectName(QStringLiteral("updatesButton"));
    connect(m_updatesButton, &QToolButton::clicked, this, &FooterView::checkForUpdates);
    m_quitButton = PopoverStyle::plainButton(QStringLiteral("Quit"), QStringLiteral("system-shutdown"),
                                             pointSize, secondary, this);
    m_quitButton->setObjectName(QStringLiteral("quitButton"));
    connect(m_quitButton, &QToolButton::clicked, this, &FooterView::quit);
    auto* row2 = new QHBoxLayout;
    row2->setSpacing(8);
    row2->addWidget(m_settingsButton);
    row2->addWidget(m_updatesButton);
    row2->addStretch(1);
    row2->addWidget(m_quitButton);

    m_forwardingResultLabel = new QLabel(this);
    m_forwardingResultLabel->setObjectName(QStringLiteral("emailForwardResult"));
    m_forwardingResultLabel->setFont(PopoverStyle::font(11));
    m_forwardingResultLabel->setWordWrap(true);
    m_forwardingResultLabel->hide();
    m_forwardingResultTimer.setSingleShot(true);
    m_forwardingResultTimer.setInterval(forwardingResultMs);
    connect(&m_forwardingResultTimer, &QTimer::timeout, m_forwardingResultLabel, &QLabel::hide);
    connect(&m_appState, &AppState::emailForwardingFinished, this, &FooterView::showForwardingResult);

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(6);
    buttons->addLayout(row1);
    buttons->addWidget(m_forwardingResultLabel);
    buttons->addWidget(PopoverStyle::divider(this));
    buttons->addLayout(row2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_silentLine);
    layout->addLayout(silentMenuLine);
    layout->addLayout(buttons);

    m_countdownTimer.setInterval(countdownIntervalMs);
    connect(&m_countdownTimer, &QTimer::timeout, this, &FooterView::updateRemainingText);
    connect(&m_appState, &AppState::silentModeActiveChanged, this, &FooterView::updateSilentModeLine);
    // A new end (silent mode chosen again) shows at once rather than at the next tick.
    connect(&m_appState, &AppState::configurationChanged, this, [this] {
        if (m_countdownTimer.isActive()) {
            updateRemainingText();
        }
    });
    updateSilentModeLine();
    updateEmailButton();
}

QList<FooterView::SilentModeChoice> FooterView::silentModeChoices() {
    return {{QStringLiteral("1 hour"), 3600},
            {QStringLiteral("4 hours"), 14400},
            {QStringLiteral("1 day"), 86400},
            {QStringLiteral("2 days"), 172800}};
}

QUrl FooterView::dashboardUrl() {
    return QUrl(QStringLiteral("https://") + dashboardHost + dashboardPath, QUrl::StrictMode);
}

QString FooterView::remainingText(const std::optional<QDateTime>& end, const QDateTime& now) {
    if (!end) {
        return QString();
    }
    const double remaining = double(now.msecsTo(*end)) / 1000.0;
    if (remaining <= 0) {
        return QStringLiteral("ending");
    }
    const qint64 total = qint64(std::trunc(remaining));
    const qint64 hours = total / 3600;
    const qint64 minutes = (total % 3600) / 60;
    if (total >= 3600) {
        return QStringLiteral("%1h %2m left").arg(hours).arg(minutes);
    }
    if (total >= 60) {
        return QStringLiteral("%1m left").arg(minutes);
    }
    return QStringLiteral("<1m left");
}

void FooterView::setSettingsAction(std::function<void()> action) {
    m_settingsAction = std::move(action);
    m_settingsButton->setEnabled(bool(m_settingsAction));
    m_settingsButton->setToolTip(m_settingsAction ? QString() : settingsUnavailable);
}

void FooterView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateCountdown();
    updateEmailButton();
}

void FooterView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    updateCountdown();
}

void FooterView::updateSilentModeLine() {
    const bool silent = m_appState.silentModeActive();
    m_silentLine->setVisible(silent);
    m_silentModeButton->setVisible(!silent);
    updateCountdown();
}

// The countdown runs while its line is on screen.
void FooterView::updateCountdown() {
    const bool onScreen = m_appState.silentModeActive() && isVisible();
    if (onScreen && !m_countdownTimer.isActive()) {
        updateRemainingText();
        m_countdownTimer.start();
    } else if (!onScreen) {
        m_countdownTimer.stop();
    }
}

void FooterView::updateRemainingText() {
    m_silentModeRemainingText = remainingText(m_appState.userDefaultsService().silentModeEnd(), Clock::now());
    m_silentLabel->setText(QStringLiteral("Silent (") + m_silentModeRemainingText + QStringLiteral(")"));
}

void FooterView::openDashboard() {
    const QUrl url = dashboardUrl();
    if (url.isValid() && m_urlOpener) {
        m_urlOpener(url, QStringLiteral("Dashboard"));
    }
}

void FooterView::updateEmailButton() {
    const EmailForwardingServiceProtocol* forwarding = m_appState.emailForwardingService();
    const bool configured = forwarding && forwarding->isConfigured();
    m_emailButton->setVisible(configured && !m_isForwardingEmail);
    m_emailButton->setEnabled(!m_isForwardingEmail);
    m_emailProgress->setVisible(configured && m_isForwardingEmail);
}

void FooterView::forwardEmail() {
    if (m_isForwardingEmail) {
        return;
    }
    Log::info(QStringLiteral("Email → ClickUp button clicked"), Log::Category::ui);
    setForwardingEmail(true);
    QPointer<AppState> state(&m_appState);
    QPointer<FooterView> self(this);
    later(this, [state, self] {
        std::function<void()> reset = [self] {
            if (self) {
                self->setForwardingEmail(false);
            }
        };
        runDetached(forwardThenReset(state, std::move(reset)), QStringLiteral("Email forwarding failed"),
                    Log::Category::ui);
    });
}

void FooterView::setForwardingEmail(bool forwarding) {
    m_isForwardingEmail = forwarding;
    updateEmailButton();
}

void FooterView::showForwardingResult(const QString& text, bool succeeded) {
    const QPalette& colors = palette();
    PopoverStyle::setTextColor(m_forwardingResultLabel,
                               succeeded ? PopoverStyle::green(colors) : PopoverStyle::red(colors));
    m_forwardingResultLabel->setText(text);
    m_forwardingResultLabel->show();
    m_forwardingResultTimer.start();
}

void FooterView::checkForUpdates() {
    Log::notice(QStringLiteral("Update button clicked."), Log::Category::ui);
    UpdateService::printNotice(QStringLiteral("button clicked"));
    if (m_updateChecker) {
        later(this, m_updateChecker);
    }
}

void FooterView::quit() {
    if (m_quitAction) {
        m_quitAction();
    }
}
