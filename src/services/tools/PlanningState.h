#pragma once

#include "services/clickup/APIError.h"
#include "services/tools/ToolsClient.h"
#include "services/tools/WeekPlan.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <optional>

// The planning behind the popover's planning tab: the user's Tools planning grouped into weeks, the
// loading flag, the last error, the server's version text and the weeks the user has opened.
//
// Week numbers are ISO 8601 weeks of the year (1 to 53, QDate::weekNumber), 0 standing for
// "Unscheduled"; they carry no year. The current week is taken from Clock::now() at each use.
class PlanningState : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<WeekPlan> weekPlans READ weekPlans NOTIFY weekPlansChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(std::optional<APIError> error READ error NOTIFY errorChanged)
    Q_PROPERTY(std::optional<QString> serverVersion READ serverVersion NOTIFY serverVersionChanged)
    Q_PROPERTY(QSet<int> expandedWeeks READ expandedWeeks WRITE setExpandedWeeks NOTIFY expandedWeeksChanged)

public:
    explicit PlanningState(ToolsClient& toolsAPI, QObject* parent = nullptr);

    // The grouped planning in display order: the current week, the other weeks ascending, then
    // "Unscheduled". Replaced whole by each successful fetch, kept when one fails.
    const QList<WeekPlan>& weekPlans() const { return m_weekPlans; }
    // True while fetchPlanning() waits for the server.
    bool isLoading() const { return m_isLoading; }
    // The failure of the last fetch; cleared by a successful one or by clearError().
    const std::optional<APIError>& error() const { return m_error; }
    void clearError();
    // The "xbarversion" of the last successful fetch.
    const std::optional<QString>& serverVersion() const { return m_serverVersion; }
    // Weeks whose section is open (0 for "Unscheduled"). The current week is added after each fetch
    // that has a plan for it; the views add and remove the others.
    const QSet<int>& expandedWeeks() const { return m_expandedWeeks; }
    void setExpandedWeeks(const QSet<int>& weeks);

    // Fetches the planning and lands the outcome in the properties; never throws. The three values
    // are the caller's configuration and serve only the debug log: the request is built from the
    // stored settings.
    QCoro::Task<> fetchPlanning(QString toolsUrl, QString userKey, std::optional<QString> toolsWSToken);

    // The week plans restricted to the tasks whose cleaned name (client part included) or ClickUp
    // task id contains the search text, ignoring case; weeks left without tasks are left out. An
    // empty text gives every plan.
    QList<WeekPlan> filteredWeekPlans(const QString& searchText) const;
    // The plan of the current week, or none.
    std::optional<WeekPlan> currentWeekPlan() const;
    // The plan numbered 0, or none.
    std::optional<WeekPlan> unscheduledPlan() const;

    // The tasks without those whose status is "needs clarification" or whose name contains
    // "projectinfo" (any case), grouped by their first week from the current week on (0 when none)
    // and put in display order. Tasks keep the server's order within a week.
    QList<WeekPlan> groupIntoWeekPlans(const QList<PlanningTask>& tasks) const;

    // The ISO 8601 week of Clock::now().
    static int currentWeek();
    // Display order of two week numbers, given the current week.
    static bool isWeekOrderedBefore(int a, int b, int currentWeek);

Q_SIGNALS:
    void weekPlansChanged();
    void isLoadingChanged();
    void errorChanged();
    void serverVersionChanged();
    void expandedWeeksChanged();

private:
    void setWeekPlans(QList<WeekPlan> plans);
    void setIsLoading(bool loading);
    void setError(std::optional<APIError> error);
    void setServerVersion(std::optional<QString> version);

    ToolsClient& m_toolsAPI;
    QList<WeekPlan> m_weekPlans;
    bool m_isLoading = false;
    std::optional<APIError> m_error;
    std::optional<QString> m_serverVersion;
    QSet<int> m_expandedWeeks;
};
