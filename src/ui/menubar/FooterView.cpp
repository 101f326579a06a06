#include "ui/menubar/FooterView.h"

#include "core/Clock.h"
#include "core/DetachedTask.h"
#include "core/Formatting.h"
#include "core/Log.h"
#include "platform/PopupBrowserService.h"
#include "services/alerts/SilentMode.h"
#include "services/forwarding/EmailForwarder.h"
#include "services/forwarding/ForwardingClient.h"
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

} // namespace

FooterView::FooterView(Services services, QWidget* parent)
    : QWidget(parent)
    , m_silentMode(services.silentMode)
    , m_forwarder(services.forwarder)
    , m_urlOpener(std::move(services.openPage))
    , m_quitAction([] { QApplication::quit(); }) {
    const QPalette& colors = palette();
    m_silentLine = buildSilentModeLine(colors);
    QHBoxLayout* silentMenuLine = buildSilentModeMenu(colors);
    QHBoxLayout* row1 = buildFirstRow(colors);
    QLabel* forwardingResult = buildForwardingResult();
    QHBoxLayout* row2 = buildSecondRow(colors);

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(6);
    buttons->addLayout(row1);
    buttons->addWidget(forwardingResult);
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
    connect(&m_silentMode, &SilentMode::activeChanged, this, &FooterView::updateSilentModeLine);
    // A new end (silent mode chosen again) shows at once rather than at the next tick.
    connect(&m_silentMode, &SilentMode::endChanged, this, [this] {
        if (m_countdownTimer.isActive()) {
            updateRemainingText();
        }
    });
    updateSilentModeLine();
    updateEmailButton();
}

// Silent mode on: the countdown line with the button that ends it.
QWidget* FooterView::buildSilentModeLine(const QPalette& colors) {
    auto* line = new QWidget(this);
    line->setObjectName(QStringLiteral("silentModeLine"));
    m_silentLabel = new QLabel(line);
    m_silentLabel->setObjectName(QStringLiteral("silentModeLabel"));
    m_silentLabel->setFont(PopoverStyle::font(pointSize));
    PopoverStyle::setTextColor(m_silentLabel, PopoverStyle::orange(colors));
    m_disableSilentButton = PopoverStyle::plainButton(QString(), QStringLiteral("edit-clear"), pointSize,
                                                      PopoverStyle::secondaryText(colors), line);
    m_disableSilentButton->setObjectName(QStringLiteral("disableSilentModeButton"));
    m_disableSilentButton->setToolTip(QStringLiteral("Disable Silent Mode"));
    connect(m_disableSilentButton, &QToolButton::clicked, this, [this] {
        QPointer<SilentMode> silentMode(&m_silentMode);
        later(this, [silentMode] {
            if (silentMode) {
                runDetached(silentMode->disable(), QStringLiteral("Disabling silent mode failed"),
                            Log::Category::ui);
            }
        });
    });
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_silentLabel);
    layout->addWidget(m_disableSilentButton);
    layout->addStretch(1);
    return line;
}

// Silent mode off: the menu of durations.
QHBoxLayout* FooterView::buildSilentModeMenu(const QPalette& colors) {
    m_silentModeButton =
        PopoverStyle::plainButton(QStringLiteral("Silent Mode"), QStringLiteral("notifications-disabled"),
                                  pointSize, PopoverStyle::primaryText(colors), this);
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
            QPointer<SilentMode> silentMode(&m_silentMode);
            later(this, [silentMode, seconds] {
                if (silentMode) {
                    runDetached(silentMode->enable(seconds), QStringLiteral("Enabling silent mode failed"),
                                Log::Category::ui);
                }
            });
        });
    }
    m_silentModeButton->setMenu(m_silentModeMenu);
    auto* line = new QHBoxLayout;
    line->setSpacing(0);
    line->addWidget(m_silentModeButton);
    line->addStretch(1);
    return line;
}

// Row 1: Dashboard, the e-mail forward and the version.
QHBoxLayout* FooterView::buildFirstRow(const QPalette& colors) {
    const QColor primary = PopoverStyle::primaryText(colors);
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
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    row->addWidget(m_dashboardButton);
    row->addWidget(m_emailButton);
    row->addWidget(m_emailProgress);
    row->addStretch(1);
    row->addWidget(m_versionLabel);
    return row;
}

// The outcome of a forward, shown for forwardingResultMs.
QLabel* FooterView::buildForwardingResult() {
    m_forwardingResultLabel = new QLabel(this);
    m_forwardingResultLabel->setObjectName(QStringLiteral("emailForwardResult"));
    m_forwardingResultLabel->setFont(PopoverStyle::font(11));
    m_forwardingResultLabel->setWordWrap(true);
    m_forwardingResultLabel->hide();
    m_forwardingResultTimer.setSingleShot(true);
    m_forwardingResultTimer.setInterval(forwardingResultMs);
    connect(&m_forwardingResultTimer, &QTimer::timeout, m_forwardingResultLabel, &QLabel::hide);
    connect(&m_forwarder, &EmailForwarder::finished, this, &FooterView::showForwardingResult);
    return m_forwardingResultLabel;
}

// Row 2: Settings, Updates and Quit.
QHBoxLayout* FooterView::buildSecondRow(const QPalette& colors) {
    const QColor primary = PopoverStyle::primaryText(colors);
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
                                             pointSize, PopoverStyle::secondaryText(colors), this);
    m_quitButton->setObjectName(QStringLiteral("quitButton"));
    connect(m_quitButton, &QToolButton::clicked, this, &FooterView::quit);
    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    row->addWidget(m_settingsButton);
    row->addWidget(m_updatesButton);
    row->addStretch(1);
    row->addWidget(m_quitButton);
    return row;
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
    const bool silent = m_silentMode.isActive();
    m_silentLine->setVisible(silent);
    m_silentModeButton->setVisible(!silent);
    updateCountdown();
}

// The countdown runs while its line is on screen.
void FooterView::updateCountdown() {
    const bool onScreen = m_silentMode.isActive() && isVisible();
    if (onScreen && !m_countdownTimer.isActive()) {
        updateRemainingText();
        m_countdownTimer.start();
    } else if (!onScreen) {
        m_countdownTimer.stop();
    }
}

void FooterView::updateRemainingText() {
    m_silentModeRemainingText = remainingText(m_silentMode.end(), Clock::now());
    m_silentLabel->setText(QStringLiteral("Silent (") + m_silentModeRemainingText + QStringLiteral(")"));
}

void FooterView::openDashboard() {
    const QUrl url = dashboardUrl();
    if (url.isValid() && m_urlOpener) {
        m_urlOpener(url, QStringLiteral("Dashboard"));
    }
}

void FooterView::updateEmailButton() {
    const ForwardingClient* forwarding = m_forwarder.service();
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
    // The button comes back with the forwarder's outcome (finished), which every forward reports.
    later(this, [&forwarder = m_forwarder] {
        runDetached(forwarder.forwardCurrentEmail(), QStringLiteral("Email forwarding failed"),
                    Log::Category::ui);
    });
}

void FooterView::setForwardingEmail(bool forwarding) {
    m_isForwardingEmail = forwarding;
    updateEmailButton();
}

void FooterView::showForwardingResult(const QString& text, bool succeeded) {
    setForwardingEmail(false);
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
