#pragma once

#include "services/usage/DailyUsageSummary.h"

#include <QCoroTask>
#include <QDate>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class UsageDaySource;

// The state of one report window's day list and detail: the days offered (today first), the selected
// day and its summary, whether a load or delete runs, and the last failure to show. Each window has
// its own; all of them read and delete through the same loader. GUI thread only; no operation throws.
//
// Loads may overlap (a refresh during a selection, a quick run of clicks): the day the user selected
// last is the one shown, whichever load finishes last. isLoading stays true until that load ends.
class UsageReportState : public QObject {
    Q_OBJECT
    Q_PROPERTY(QDate selectedDate READ selectedDate NOTIFY selectedDateChanged)
    Q_PROPERTY(QList<QDate> availableDates READ availableDates NOTIFY availableDatesChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)

public:
    // Starts on today, with no days and no summary.
    explicit UsageReportState(UsageDaySource& loader, QObject* parent = nullptr);
    ~UsageReportState() override;

    QDate selectedDate() const { return m_selectedDate; }
    const QList<QDate>& availableDates() const { return m_availableDates; }
    const std::optional<DailyUsageSummary>& selectedSummary() const { return m_selectedSummary; }
    bool isLoading() const { return m_isLoading; }
    // Why the last delete failed; empty when it did not.
    const QString& errorText() const { return m_errorText; }

    // What a newly shown window does: the day list, then today (whatever is selected).
    QCoro::Task<> appear();
    // The stored days, newest first, with today put in front when it has no file; a failure to list
    // them gives today alone.
    QCoro::Task<> loadAvailableDates();
    // Loads the day's summary; the result is dropped when another load or a delete started meanwhile.
    QCoro::Task<> loadSummary(QDate day);
    // Deletes the selected day. A failure is kept in errorText and nothing else changes. After a
    // removal the list is reloaded and the first listed day (today) is selected and loaded.
    QCoro::Task<> deleteSelectedDay();

    // A day was clicked: selects it and loads it.
    void selectDate(QDate day);
    // Reloads the list, then the day selected by then.
    void refresh();
    // Runs deleteSelectedDay.
    void deleteSelected();

Q_SIGNALS:
    void selectedDateChanged();
    void availableDatesChanged();
    void selectedSummaryChanged();
    void isLoadingChanged();
    void errorTextChanged();

private:
    void setSelectedDate(QDate day);
    void setAvailableDates(const QList<QDate>& days);
    void setSelectedSummary(std::optional<DailyUsageSummary> summary);
    void setIsLoading(bool loading);
    void setErrorText(const QString& text);

    UsageDaySource& m_loader;
    QDate m_selectedDate;
    QList<QDate> m_availableDates;
    std::optional<DailyUsageSummary> m_selectedSummary;
    bool m_isLoading = false;
    QString m_errorText;
    // Every load of a summary and every delete takes the next number; only the holder of the latest
    // may change the summary and end the loading.
    quint64 m_summaryTicket = 0;
    quint64 m_datesTicket = 0;
};
