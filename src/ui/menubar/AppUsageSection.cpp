#include "ui/menubar/AppUsageSection.h"

#include "core/Clock.h"
#include "services/usage/AppUsageTrackingService.h"
#include "services/usage/DailyUsageSummary.h"
#include "services/usage/UsageDay.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/menubar/AppUsageRow.h"
#include "ui/menubar/UsageStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QLabel* textLabel(const QString& text, qreal pointSize, QFont::Weight weight, const QColor& color,
                  const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(PopoverStyle::font(pointSize, weight));
    PopoverStyle::setTextColor(label, color);
    return label;
}

// Today's finished sessions that started today.
DailyUsageSummary todaySummary(const AppUsageTrackingService* tracker) {
    const QDateTime now = Clock::now();
    QList<AppUsageSession> sessions;
    if (tracker) {
        sessions = tracker->sessionsStartedToday();
    }
    return DailyUsageSummary{usageday::of(now), sessions, std::nullopt, std::nullopt};
}
} // namespace

AppUsageSection::AppUsageSection(QWidget* parent)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this)) {
    setObjectName(QStringLiteral("appUsageSection"));
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    rebuild();
}

void AppUsageSection::setTracker(AppUsageTrackingService* tracker) {
    m_tracker = tracker;
    if (tracker && tracker != m_followedTracker) {
        if (m_followedTracker) {
            disconnect(m_followedTracker, nullptr, this, nullptr);
        }
        m_followedTracker = tracker;
        connect(tracker, &AppUsageTrackingService::todaySessionsChanged, this, &AppUsageSection::rebuild);
        connect(tracker, &AppUsageTrackingService::saveErrorChanged, this, &AppUsageSection::rebuild);
    }
    rebuild();
}

void AppUsageSection::setTrackingActive(bool active) {
    m_trackingActive = active;
    rebuild();
}

void AppUsageSection::rebuild() {
    if (m_body) {
        // Later, not now: the click that asked for the rebuild may come from a button inside it.
        m_body->hide();
        m_body->setParent(nullptr);
        m_body->deleteLater();
    }
    m_body = new QWidget(this);
    m_body->setObjectName(QStringLiteral("appUsageBody"));
    m_layout->addWidget(m_body);
    if (m_trackingActive) {
        buildActive();
    } else {
        buildDisabled();
    }
}

void AppUsageSection::buildActive() {
    const QPalette& colors = palette();
    const QColor purple = UsageStyle::purple(colors);
    const DailyUsageSummary summary = todaySummary(m_tracker);

    auto* outer = new QVBoxLayout(m_body);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(8);

    auto* header = new QHBoxLayout;
    header->addWidget(PopoverStyle::symbolLabel(QStringLiteral("office-chart-bar"), 12, purple, m_body));
    header->addWidget(textLabel(QStringLiteral("Today's Activity"), 12, QFont::DemiBold,
                                PopoverStyle::primaryText(colors), QStringLiteral("activityTitle"), m_body));
    header->addStretch(1);
    header->addWidget(textLabel(summary.formattedTotalDuration(), 11, QFont::Medium,
                                PopoverStyle::secondaryText(colors), QStringLiteral("activityTotal"),
                                m_body));
    outer->addLayout(header);

    if (m_tracker && !m_tracker->saveError().isEmpty()) {
        QLabel* failure =
            textLabel(QStringLiteral("Usage data could not be saved: ") + m_tracker->saveError(), 10,
                      QFont::Medium, PopoverStyle::red(colors), QStringLiteral("activitySaveError"), m_body);
        failure->setWordWrap(true);
        outer->addWidget(failure);
    }

    auto* list = new QVBoxLayout;
    list->setSpacing(6);
    outer->addLayout(list);

    const QList<AppUsageBreakdown> breakdown = summary.appBreakdown();
    if (breakdown.isEmpty()) {
        auto* empty = new QVBoxLayout;
        empty->setContentsMargins(0, 8, 0, 8);
        empty->setSpacing(4);
        QLabel* clock = PopoverStyle::symbolLabel(QStringLiteral("appointment-soon"), 20,
                                                  PopoverStyle::tertiaryText(colors), m_body);
        clock->setAlignment(Qt::AlignCenter);
        empty->addWidget(clock);
        QLabel* text =
            textLabel(QStringLiteral("No activity tracked yet"), 11, QFont::Normal,
                      PopoverStyle::secondaryText(colors), QStringLiteral("activityEmpty"), m_body);
        text->setAlignment(Qt::AlignCenter);
        empty->addWidget(text);
        list->addLayout(empty);
        addReportButton(list);
        return;
    }

    for (qsizetype i = 0; i < breakdown.size() && i < maximumApps; ++i) {
        auto* row = new AppUsageRow(breakdown[i], m_body);
        row->setObjectName(QStringLiteral("appUsageRow"));
        list->addWidget(row);
    }
    if (breakdown.size() > maximumApps) {
        QLabel* more =
            textLabel(QStringLiteral("+%1 more apps").arg(breakdown.size() - maximumApps), 10, QFont::Normal,
                      PopoverStyle::tertiaryText(colors), QStringLiteral("moreApps"), m_body);
        more->setContentsMargins(4, 0, 0, 0);
        list->addWidget(more);
    }

    const QStringList contexts = summary.allContexts();
    if (!contexts.isEmpty()) {
        list->addWidget(PopoverStyle::padded(PopoverStyle::divider(m_body), 0, 4, 4, m_body));
        auto* group = new QHBoxLayout;
        group->setSpacing(6);
        QLabel* symbol = PopoverStyle::symbolLabel(QStringLiteral("view-list-bullet"), 10,
                                                   PopoverStyle::withAlpha(purple, 0.7), m_body);
        symbol->setAlignment(Qt::AlignTop);
        group->addWidget(symbol, 0, Qt::AlignTop);
        auto* texts = new QVBoxLayout;
        texts->setSpacing(2);
        texts->addWidget(textLabel(QStringLiteral("Context"), 10, QFont::Medium,
                                   PopoverStyle::secondaryText(colors), QStringLiteral("contextTitle"),
                                   m_body));
        QLabel* line =
            textLabel(contexts.mid(0, maximumContexts).join(QStringLiteral(", ")), 10, QFont::Normal,
                      PopoverStyle::tertiaryText(colors), QStringLiteral("contextLine"), m_body);
        line->setWordWrap(true);
        // Two lines at most.
        line->setMaximumHeight(line->fontMetrics().lineSpacing() * 2);
        texts->addWidget(line);
        group->addLayout(texts, 1);
        list->addLayout(group);
        if (contexts.size() > maximumContexts) {
            QLabel* more =
                textLabel(QStringLiteral("+%1 more").arg(contexts.size() - maximumContexts), 9, QFont::Normal,
                          PopoverStyle::tertiaryText(colors), QStringLiteral("moreContexts"), m_body);
            more->setContentsMargins(16, 0, 0, 0);
            list->addWidget(more);
        }
    }
    addReportButton(list);
}

// Last, always: the report window, when the application offers one.
void AppUsageSection::addReportButton(QVBoxLayout* list) {
    if (!m_reportOpener) {
        return;
    }
    const QColor purple = UsageStyle::purple(palette());
    QToolButton* report = PopoverStyle::plainButton(QStringLiteral("View Full Report"),
                                                    QStringLiteral("office-chart-bar"), 11, purple, m_body);
    report->setObjectName(QStringLiteral("viewFullReportButton"));
    connect(report, &QToolButton::clicked, this, [this] {
        if (m_reportOpener) {
            m_reportOpener();
        }
    });
    list->addWidget(report, 0, Qt::AlignHCenter);
}

void AppUsageSection::setReportOpener(std::function<void()> opener) {
    m_reportOpener = std::move(opener);
    rebuild();
}

void AppUsageSection::buildDisabled() {
    const QPalette& colors = palette();
    const QColor purple = UsageStyle::purple(colors);

    auto* outer = new QVBoxLayout(m_body);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(8);
    auto* header = new QHBoxLayout;
    header->addWidget(PopoverStyle::symbolLabel(QStringLiteral("office-chart-bar"), 12, purple, m_body));
    header->addWidget(textLabel(QStringLiteral("Today's Activity"), 12, QFont::DemiBold,
                                PopoverStyle::primaryText(colors), QStringLiteral("activityTitle"), m_body));
    header->addStretch(1);
    outer->addLayout(header);

    auto* invitation = new QVBoxLayout;
    invitation->setContentsMargins(0, 12, 0, 12);
    invitation->setSpacing(12);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(8);
    QLabel* symbol = PopoverStyle::symbolLabel(QStringLiteral("office-chart-bar"), 28,
                                               PopoverStyle::tertiaryText(colors), m_body);
    symbol->setAlignment(Qt::AlignCenter);
    texts->addWidget(symbol);
    QLabel* title =
        textLabel(QStringLiteral("Activity tracking is disabled"), 12, QFont::Medium,
                  PopoverStyle::secondaryText(colors), QStringLiteral("trackingDisabled"), m_body);
    title->setAlignment(Qt::AlignCenter);
    texts->addWidget(title);
    QLabel* hint =
        textLabel(QStringLiteral("Track which apps you use to help fill your timesheet"), 11, QFont::Normal,
                  PopoverStyle::tertiaryText(colors), QStringLiteral("trackingHint"), m_body);
    hint->setAlignment(Qt::AlignCenter);
    hint->setWordWrap(true);
    texts->addWidget(hint);
    invitation->addLayout(texts);

    auto* enable = new QPushButton(QStringLiteral("Enable Tracking"), m_body);
    enable->setObjectName(QStringLiteral("enableTracking"));
    enable->setIcon(
        QIcon(PopoverStyle::symbol(QStringLiteral("media-playback-start"), 10, enable, Qt::white)));
    enable->setFont(PopoverStyle::font(11, QFont::Medium));
    enable->setCursor(Qt::PointingHandCursor);
    enable->setStyleSheet(PopoverStyle::filledButtonStyleSheet(purple) +
                          QStringLiteral("QPushButton { padding: 8px 16px; border-radius: 6px; }"));
    // Turns tracking on (never off: the button is shown only while it is off).
    connect(enable, &QPushButton::clicked, this, [this] {
        if (m_trackingEnabler) {
            m_trackingEnabler();
        }
    });
    invitation->addWidget(enable, 0, Qt::AlignHCenter);
    outer->addLayout(invitation);
}
