#include "ui/dayplan/TimelineHeader.h"

#include "core/DetachedTask.h"
#include "services/dayplan/DayPlanningState.h"
#include "ui/kit/PopoverStyle.h"

#include "core/Clock.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
QLabel* smallLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFont(PopoverStyle::font(11));
    PopoverStyle::setTextColor(label, PopoverStyle::secondaryText(label->palette()));
    return label;
}

QToolButton* textButton(const QString& text, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setAutoRaise(true);
    return button;
}
} // namespace

TimelineHeader::TimelineHeader(DayPlanningState& state, QWidget* parent)
    : QWidget(parent)
    , m_state(state) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_banner = new QWidget(this);
    m_banner->setAutoFillBackground(true);
    QPalette bannerPalette = m_banner->palette();
    bannerPalette.setColor(QPalette::Window, PopoverStyle::red(bannerPalette));
    m_banner->setPalette(bannerPalette);
    auto* bannerRow = new QHBoxLayout(m_banner);
    bannerRow->setContentsMargins(12, 6, 12, 6);
    bannerRow->setSpacing(8);
    auto* warning = new QLabel(u"⚠"_s, m_banner);
    PopoverStyle::setTextColor(warning, Qt::white);
    m_bannerText = new QLabel(m_banner);
    m_bannerText->setFont(PopoverStyle::font(11));
    m_bannerText->setWordWrap(true);
    PopoverStyle::setTextColor(m_bannerText, Qt::white);
    m_dismiss = textButton(u"✕"_s, m_banner);
    m_dismiss->setToolTip(u"Dismiss"_s);
    PopoverStyle::setTextColor(m_dismiss, QColor(255, 255, 255, 204));
    bannerRow->addWidget(warning);
    bannerRow->addWidget(m_bannerText, 1);
    bannerRow->addWidget(m_dismiss);
    layout->addWidget(m_banner);

    auto* main = new QWidget(this);
    auto* row = new QHBoxLayout(main);
    row->setContentsMargins(12, 8, 12, 8);
    m_previous = textButton(u"‹"_s, main);
    m_previous->setToolTip(u"Previous day"_s);
    m_date = new QLabel(main);
    m_date->setFont(PopoverStyle::font(14, QFont::DemiBold));
    m_date->setAlignment(Qt::AlignCenter);
    m_date->setMinimumWidth(140);
    m_date->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    m_next = textButton(u"›"_s, main);
    m_next->setToolTip(u"Next day"_s);
    m_today = textButton(u"Today"_s, main);
    m_today->setFont(PopoverStyle::font(12));
    PopoverStyle::setTextColor(m_today, PopoverStyle::secondaryText(m_today->palette()));
    row->addWidget(m_previous);
    row->addSpacing(4);
    row->addWidget(m_date);
    row->addSpacing(4);
    row->addWidget(m_next);
    row->addWidget(m_today);
    row->addStretch();
    m_plannedCount = smallLabel(main);
    m_plannedTotal = smallLabel(main);
    m_loggedTotal = smallLabel(main);
    PopoverStyle::setTextColor(m_loggedTotal, PopoverStyle::green(m_loggedTotal->palette()));
    m_loggedTotal->setToolTip(u"Total time logged"_s);
    row->addWidget(m_plannedCount);
    row->addSpacing(16);
    row->addWidget(m_plannedTotal);
    row->addSpacing(16);
    row->addWidget(m_loggedTotal);
    m_sync = new QPushButton(main);
    m_sync->setStyleSheet(PopoverStyle::filledButtonStyleSheet(PopoverStyle::accent(m_sync->palette())));
    // The button's room is kept while it is hidden and fits its longest text, so that the header
    // needs the same width whatever the day holds and nothing moves when it appears.
    m_sync->setText(u"Syncing… Sync (999)"_s);
    m_sync->setMinimumWidth(m_sync->sizeHint().width());
    row->addWidget(m_sync);
    for (QWidget* reserved : {static_cast<QWidget*>(m_loggedTotal), static_cast<QWidget*>(m_sync)}) {
        QSizePolicy policy = reserved->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        reserved->setSizePolicy(policy);
    }
    m_loggedTotal->setMinimumWidth(QFontMetrics(m_loggedTotal->font()).horizontalAdvance(u"999h 59m"_s) + 2);
    layout->addWidget(main);

    connect(m_previous, &QToolButton::clicked, this,
            [this] { runDetached(m_state.previousDay(), u"Day change failed"_s, Log::Category::ui); });
    connect(m_next, &QToolButton::clicked, this,
            [this] { runDetached(m_state.nextDay(), u"Day change failed"_s, Log::Category::ui); });
    connect(m_today, &QToolButton::clicked, this, [this] {
        runDetached(m_state.setSelectedDate(Clock::now()), u"Day change failed"_s, Log::Category::ui);
    });
    connect(m_sync, &QPushButton::clicked, this,
            [this] { runDetached(m_state.syncToClickUp(), u"Sync failed"_s, Log::Category::timer); });
    connect(m_dismiss, &QToolButton::clicked, &m_state, &DayPlanningState::clearMessages);
    for (auto signal : {&DayPlanningState::plannedEntriesChanged, &DayPlanningState::existingEntriesChanged,
                        &DayPlanningState::selectedDateChanged, &DayPlanningState::isSyncingChanged,
                        &DayPlanningState::errorChanged, &DayPlanningState::noticeChanged}) {
        connect(&m_state, signal, this, &TimelineHeader::refresh);
    }
    refresh();
}

void TimelineHeader::refresh() {
    if (m_state.error()) {
        m_bannerText->setText(u"Sync failed: "_s + m_state.error()->description());
    } else {
        m_bannerText->setText(m_state.notice());
    }
    m_banner->setVisible(m_state.error().has_value() || !m_state.notice().isEmpty());

    m_date->setText(QLocale().toString(m_state.selectedDate().toLocalTime().date(), u"dddd, MMM d"_s));
    m_plannedCount->setText(QString::number(m_state.shownPlannedCount()) + u" planned"_s);
    m_plannedTotal->setText(m_state.totalPlannedText());
    m_loggedTotal->setText(m_state.totalLoggedText());
    m_loggedTotal->setVisible(m_state.totalLoggedSeconds() > 0);
    m_sync->setText((m_state.isSyncing() ? u"Syncing… "_s : QString()) + u"Sync ("_s +
                    QString::number(m_state.entriesNeedingSync()) + u")"_s);
    m_sync->setVisible(m_state.hasUnsyncedChanges());
    m_sync->setEnabled(!m_state.isSyncing());
}
