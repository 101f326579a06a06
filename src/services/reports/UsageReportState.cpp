#include "services/reports/UsageReportState.h"

#include "core/Clock.h"
#include "core/DetachedTask.h"
#include "core/Error.h"
#include "core/Log.h"
#include "core/Observable.h"
#include "services/reports/ReportDate.h"
#include "services/reports/UsageDaySource.h"
#include "services/usage/UsageDay.h"

#include <QLocale>
#include <QPointer>

namespace {
QDate today() {
    return usageday::of(Clock::now());
}
} // namespace

UsageReportState::UsageReportState(UsageDaySource& loader, QObject* parent)
    : QObject(parent)
    , m_loader(loader)
    , m_selectedDate(today()) {}

UsageReportState::~UsageReportState() = default;

void UsageReportState::setSelectedDate(QDate day) {
    setIfChanged(m_selectedDate, day, this, &UsageReportState::selectedDateChanged);
}

void UsageReportState::setAvailableDates(const QList<QDate>& days) {
    setIfChanged(m_availableDates, days, this, &UsageReportState::availableDatesChanged);
}

void UsageReportState::setSelectedSummary(std::optional<DailyUsageSummary> summary) {
    m_selectedSummary = std::move(summary);
    Q_EMIT selectedSummaryChanged();
}

void UsageReportState::setIsLoading(bool loading) {
    setIfChanged(m_isLoading, loading, this, &UsageReportState::isLoadingChanged);
}

void UsageReportState::setErrorText(const QString& text) {
    setIfChanged(m_errorText, text, this, &UsageReportState::errorTextChanged);
}

QCoro::Task<> UsageReportState::appear() {
    QPointer<UsageReportState> self(this);
    co_await loadAvailableDates();
    if (!self) {
        co_return;
    }
    const QDate day = today();
    setSelectedDate(day);
    co_await loadSummary(day);
}

QCoro::Task<> UsageReportState::loadAvailableDates() {
    QPointer<UsageReportState> self(this);
    const quint64 ticket = ++m_datesTicket;
    QList<QDate> days;
    try {
        days = co_await m_loader.availableDates();
    } catch (const std::exception& error) {
        Log::warning(QStringLiteral("The stored usage days cannot be listed: ") + Error::describe(error),
                     Log::Category::storage);
    }
    if (!self || ticket != m_datesTicket) {
        co_return;
    }
    const QDate now = today();
    if (!days.contains(now)) {
        days.prepend(now);
    }
    setAvailableDates(days);
}

QCoro::Task<> UsageReportState::loadSummary(QDate day) {
    QPointer<UsageReportState> self(this);
    const quint64 ticket = ++m_summaryTicket;
    setIsLoading(true);
    std::optional<DailyUsageSummary> summary = co_await m_loader.loadDay(day);
    if (!self || ticket != m_summaryTicket) {
        co_return;
    }
    setSelectedSummary(std::move(summary));
    setIsLoading(false);
}

QCoro::Task<> UsageReportState::deleteSelectedDay() {
    QPointer<UsageReportState> self(this);
    const QDate day = m_selectedDate;
    const quint64 ticket = ++m_summaryTicket;
    setErrorText({});
    setIsLoading(true);
    try {
        co_await m_loader.deleteDay(day);
    } catch (const std::exception& error) {
        if (!self) {
            co_return;
        }
        const QString text = QStringLiteral("The usage data for %1 could not be deleted: %2")
                                 .arg(reportdate::longText(day), Error::describe(error));
        Log::warning(text, Log::Category::storage);
        setErrorText(text);
        if (ticket == m_summaryTicket) {
            setIsLoading(false);
        }
        co_return;
    }
    if (!self) {
        co_return;
    }
    co_await loadAvailableDates();
    if (!self) {
        co_return;
    }
    if (ticket == m_summaryTicket) {
        setSelectedSummary(std::nullopt);
    }
    if (m_availableDates.isEmpty()) {
        if (ticket == m_summaryTicket) {
            setIsLoading(false);
        }
        co_return;
    }
    // A day the user picked while the delete ran stays picked.
    if (ticket != m_summaryTicket) {
        co_return;
    }
    const QDate first = m_availableDates.first();
    setSelectedDate(first);
    co_await loadSummary(first);
}

void UsageReportState::selectDate(QDate day) {
    setSelectedDate(day);
    runDetached(loadSummary(day), QStringLiteral("Loading a usage day failed"), Log::Category::storage);
}

void UsageReportState::refresh() {
    QPointer<UsageReportState> self(this);
    auto work = [](QPointer<UsageReportState> state) -> QCoro::Task<> {
        co_await state->loadAvailableDates();
        if (state) {
            co_await state->loadSummary(state->selectedDate());
        }
    };
    runDetached(work(self), QStringLiteral("Refreshing the usage report failed"), Log::Category::storage);
}

void UsageReportState::deleteSelected() {
    runDetached(deleteSelectedDay(), QStringLiteral("Deleting a usage day failed"), Log::Category::storage);
}
