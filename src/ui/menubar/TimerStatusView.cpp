#include "ui/menubar/TimerStatusView.h"

#include "core/CharacterTruncation.h"
#include "services/clickup/TimerState.h"
#include "services/clickup/WorklogState.h"
#include "ui/kit/ElidedLabel.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/kit/ProgressIndicator.h"

#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
void setIfDifferent(QLabel* label, const QString& text) {
    if (label->text() != text) {
        label->setText(text);
    }
}
} // namespace

TimerStatusView::TimerStatusView(const TimerState& timer, const WorklogState& worklog, QWidget* parent)
    : QWidget(parent)
    , m_timer(timer)
    , m_worklog(worklog) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildRunningForm());
    layout->addWidget(buildIdleForm());

    m_clock.setInterval(clockIntervalMs);
    // On whole seconds, like the application's clock: both wake the process once a second together.
    m_clock.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_clock, &QTimer::timeout, this, &TimerStatusView::tick);

    connect(&m_timer, &TimerState::activeTimerChanged, this, &TimerStatusView::updateForm);
    connect(&m_timer, &TimerState::errorChanged, this, &TimerStatusView::updateError);
    connect(&m_worklog, &WorklogState::timeEntriesChanged, this, &TimerStatusView::updateTimes);
    updateForm();
    updateLoading();
    updateKeychainAccess();
}

QWidget* TimerStatusView::buildRunningForm() {
    m_runningForm = new QWidget(this);
    m_runningForm->setObjectName(QStringLiteral("runningForm"));
    const QPalette& colors = palette();
    const QColor green = PopoverStyle::green(colors);
    const QColor secondary = PopoverStyle::secondaryText(colors);

    m_elapsedLabel = new QLabel(m_runningForm);
    m_elapsedLabel->setObjectName(QStringLiteral("elapsedLabel"));
    m_elapsedLabel->setFont(PopoverStyle::monospacedFont(24, QFont::Bold));
    PopoverStyle::setTextColor(m_elapsedLabel, green);
    QLabel* play =
        PopoverStyle::symbolLabel(QStringLiteral("media-playback-start"), 14, green, m_runningForm);

    auto* timeLine = new QHBoxLayout;
    timeLine->setSpacing(6);
    timeLine->addWidget(m_elapsedLabel, 0, Qt::AlignVCenter);
    timeLine->addWidget(play, 0, Qt::AlignVCenter);
    timeLine->addStretch(1);

    m_taskNameLabel = new ElidedLabel(QString(), m_runningForm);
    m_taskNameLabel->setShowsWholeTextWhenElided(true);
    m_taskNameLabel->setObjectName(QStringLiteral("taskNameLabel"));
    m_taskNameLabel->setFont(PopoverStyle::font(12));
    PopoverStyle::setTextColor(m_taskNameLabel, secondary);

    m_stopButton = new QPushButton(QStringLiteral("Stop"), m_runningForm);
    m_stopButton->setObjectName(QStringLiteral("stopButton"));
    m_stopButton->setFont(PopoverStyle::font(12, QFont::Medium));
    m_stopButton->setCursor(Qt::PointingHandCursor);
    m_stopButton->setFocusPolicy(Qt::NoFocus);
    m_stopButton->setIcon(
        QIcon(PopoverStyle::symbol(QStringLiteral("media-playback-stop"), 10, this, Qt::white)));
    m_stopButton->setIconSize(QSize(PopoverStyle::symbolSize(10, this), PopoverStyle::symbolSize(10, this)));
    m_stopButton->setStyleSheet(PopoverStyle::filledButtonStyleSheet(PopoverStyle::red(colors)));
    connect(m_stopButton, &QPushButton::clicked, this, &TimerStatusView::stopTimer);

    // The Stop button stands beside the elapsed time only, so that the task name below has the
    // row's whole width: a name of 50 characters is shown whole.
    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    top->addLayout(timeLine, 1);
    top->addWidget(m_stopButton, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addLayout(top);
    texts->addWidget(m_taskNameLabel);

    m_openButton = PopoverStyle::plainButton(QStringLiteral("Open in ClickUp"),
                                             QStringLiteral("external-link"), 11, secondary, m_runningForm);
    m_openButton->setObjectName(QStringLiteral("openInClickUpButton"));
    connect(m_openButton, &QToolButton::clicked, this, &TimerStatusView::openInClickUp);
    m_copyButton = PopoverStyle::plainButton(QStringLiteral("Copy ID"), QStringLiteral("edit-copy"), 11,
                                             secondary, m_runningForm);
    m_copyButton->setObjectName(QStringLiteral("copyIdButton"));
    connect(m_copyButton, &QToolButton::clicked, this, &TimerStatusView::copyId);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(12);
    actions->addWidget(m_openButton);
    actions->addWidget(m_copyButton);
    actions->addStretch(1);

    auto* form = new QVBoxLayout(m_runningForm);
    form->setContentsMargins(0, 0, 0, 0);
    form->setSpacing(8);
    form->addLayout(texts);
    form->addLayout(actions);
    return m_runningForm;
}

QWidget* TimerStatusView::buildIdleForm() {
    m_idleForm = new QWidget(this);
    m_idleForm->setObjectName(QStringLiteral("idleForm"));
    const QPalette& colors = palette();
    const QColor orange = PopoverStyle::orange(colors);
    const QColor secondary = PopoverStyle::secondaryText(colors);

    auto* box = new QFrame(m_idleForm);
    box->setObjectName(QStringLiteral("noTimerBox"));
    box->setStyleSheet(QStringLiteral("QFrame#noTimerBox { background: %1; border: 1px solid %2;"
                                      " border-radius: 10px; }")
                           .arg(PopoverStyle::withAlpha(orange, 0.08).name(QColor::HexArgb),
                                PopoverStyle::withAlpha(orange, 0.25).name(QColor::HexArgb)));

    QLabel* clock = PopoverStyle::symbolLabel(QStringLiteral("appointment-missed"), 28, orange, box);

    auto* title = new QLabel(QStringLiteral("No Timer Running"), box);
    title->setObjectName(QStringLiteral("noTimerTitle"));
    title->setFont(PopoverStyle::font(15, QFont::DemiBold));
    m_idleTitle = title;

    m_loggedTodayRow = new QWidget(box);
    m_loggedTodayRow->setObjectName(QStringLiteral("loggedTodayRow"));
    QLabel* smallClock =
        PopoverStyle::symbolLabel(QStringLiteral("appointment-soon"), 10, secondary, m_loggedTodayRow);
    m_loggedTodayLabel = new QLabel(m_loggedTodayRow);
    m_loggedTodayLabel->setObjectName(QStringLiteral("loggedTodayLabel"));
    m_loggedTodayLabel->setFont(PopoverStyle::font(11));
    PopoverStyle::setTextColor(m_loggedTodayLabel, secondary);
    auto* loggedLine = new QHBoxLayout(m_loggedTodayRow);
    loggedLine->setContentsMargins(0, 0, 0, 0);
    loggedLine->setSpacing(4);
    loggedLine->addWidget(smallClock, 0, Qt::AlignVCenter);
    loggedLine->addWidget(m_loggedTodayLabel, 0, Qt::AlignVCenter);
    loggedLine->addStretch(1);

    auto* titles = new QVBoxLayout;
    titles->setSpacing(3);
    titles->addWidget(title);
    titles->addWidget(m_loggedTodayRow);

    // A regular spinner is 32 px; this one is drawn at 0.7 of that.
    m_loadingIndicator = new ProgressIndicator(22, box);
    m_loadingIndicator->setObjectName(QStringLiteral("loadingIndicator"));

    auto* head = new QHBoxLayout;
    head->setSpacing(10);
    head->addWidget(clock, 0, Qt::AlignVCenter);
    head->addLayout(titles, 1);
    head->addWidget(m_loadingIndicator, 0, Qt::AlignVCenter);

    const QColor hintColor = PopoverStyle::withAlpha(orange, 0.8);
    QLabel* bulb = PopoverStyle::symbolLabel(QStringLiteral("lightbulb"), 10, hintColor, box);
    auto* hint = new QLabel(QStringLiteral("Select a task from planning to start tracking"), box);
    hint->setObjectName(QStringLiteral("hintLabel"));
    m_hintLabel = hint;
    hint->setFont(PopoverStyle::font(11));
    hint->setWordWrap(true);
    PopoverStyle::setTextColor(hint, hintColor);
    auto* hintLine = new QHBoxLayout;
    hintLine->setSpacing(4);
    hintLine->addWidget(bulb, 0, Qt::AlignTop);
    hintLine->addWidget(hint, 1);

    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->setContentsMargins(12, 12, 12, 12);
    boxLayout->setSpacing(8);
    boxLayout->addLayout(head);
    boxLayout->addLayout(hintLine);

    m_errorRow = new QWidget(m_idleForm);
    m_errorRow->setObjectName(QStringLiteral("timerErrorRow"));
    QLabel* warning = PopoverStyle::symbolLabel(QStringLiteral("data-warning"), 11, std::nullopt, m_errorRow);
    m_errorLabel = new QLabel(m_errorRow);
    m_errorLabel->setObjectName(QStringLiteral("timerErrorLabel"));
    m_errorLabel->setFont(PopoverStyle::font(11));
    m_errorLabel->setWordWrap(true);
    m_errorLabel->setTextFormat(Qt::PlainText);
    PopoverStyle::setTextColor(m_errorLabel, secondary);
    auto* errorLine = new QHBoxLayout(m_errorRow);
    errorLine->setContentsMargins(0, 4, 0, 0);
    errorLine->setSpacing(6);
    errorLine->addWidget(warning, 0, Qt::AlignTop);
    errorLine->addWidget(m_errorLabel, 1);

    auto* form = new QVBoxLayout(m_idleForm);
    form->setContentsMargins(0, 0, 0, 0);
    form->setSpacing(8);
    form->addWidget(box);
    form->addWidget(m_errorRow);
    return m_idleForm;
}

QString TimerStatusView::shortenedTaskName(const QString& name) {
    return truncatedToCharacters(name, taskNameLimit);
}

void TimerStatusView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    tick();
    m_clock.start();
}

void TimerStatusView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_clock.stop();
}

void TimerStatusView::setLoading(bool loading) {
    m_isLoading = loading;
    updateLoading();
}

void TimerStatusView::setKeychainAccess(SecretStore::Access access) {
    m_keychainAccess = access;
    updateKeychainAccess();
}

void TimerStatusView::tick() {
    updateTimes();
}

void TimerStatusView::updateForm() {
    const std::optional<ActiveTimer>& timer = m_timer.activeTimer();
    m_runningForm->setVisible(timer.has_value());
    m_idleForm->setVisible(!timer.has_value());
    if (timer) {
        m_taskNameLabel->setText(shortenedTaskName(timer->taskName));
    }
    updateTimes();
    updateError();
}

void TimerStatusView::updateTimes() {
    const std::optional<ActiveTimer>& timer = m_timer.activeTimer();
    if (timer) {
        setIfDifferent(m_elapsedLabel, timer->elapsedTimeString());
        return;
    }
    const bool anythingLogged = m_worklog.totalDuration() > 0;
    if (anythingLogged) {
        setIfDifferent(m_loggedTodayLabel, m_worklog.totalTimeText() + QStringLiteral(" logged today"));
    }
    if (m_loggedTodayRow->isVisibleTo(m_idleForm) != anythingLogged) {
        m_loggedTodayRow->setVisible(anythingLogged);
    }
}

// The error shows only while no timer runs.
void TimerStatusView::updateError() {
    const std::optional<APIError>& error = m_timer.error();
    if (error) {
        m_errorLabel->setText(error->description());
    }
    m_errorRow->setVisible(error.has_value());
}

void TimerStatusView::updateKeychainAccess() {
    switch (m_keychainAccess) {
    case SecretStore::Access::available:
        setIfDifferent(m_idleTitle, QStringLiteral("No Timer Running"));
        setIfDifferent(m_hintLabel, QStringLiteral("Select a task from planning to start tracking"));
        break;
    case SecretStore::Access::locked:
        setIfDifferent(m_idleTitle, QStringLiteral("Keyring Locked"));
        setIfDifferent(m_hintLabel,
                       QStringLiteral("Unlock the keyring to load your timer; Pendlow asks again when "
                                      "this window opens."));
        break;
    case SecretStore::Access::unavailable:
        setIfDifferent(m_idleTitle, QStringLiteral("No Keyring"));
        setIfDifferent(m_hintLabel,
                       QStringLiteral("No Secret Service is running, so Pendlow cannot read its tokens."));
        break;
    }
}

void TimerStatusView::updateLoading() {
    m_loadingIndicator->setVisible(m_isLoading);
}

void TimerStatusView::stopTimer() {
    if (m_timerStopper) {
        m_timerStopper();
    }
}

void TimerStatusView::openInClickUp() {
    const std::optional<ActiveTimer>& timer = m_timer.activeTimer();
    if (timer && m_urlOpener) {
        m_urlOpener(timer->taskUrl, shortenedTaskName(timer->taskName));
    }
}

void TimerStatusView::copyId() {
    const std::optional<ActiveTimer>& timer = m_timer.activeTimer();
    if (timer) {
        QGuiApplication::clipboard()->setText(timer->taskId);
    }
}
