#pragma once

#include "app/DayPlanningSourcesOf.h"
#include "services/AppState.h"
#include "ui/dayplan/DayPlanningView.h"
#include "ui/reports/ReportContext.h"

// The report windows' context over a root state, filled in the way the application fills it: its
// settings, worklog and day plan, and day-planning screens over it. The loader and the rest are the
// test's.
inline void fillReportContext(ReportContext& context, AppState& state) {
    context.settings = &state.userDefaultsService();
    context.worklog = state.worklogState();
    context.dayPlan = state.dayPlanningState();
    AppState* appState = &state;
    context.makePlanningView = [appState](QWidget* parent) {
        return new DayPlanningView(dayPlanningSourcesOf(*appState), parent);
    };
}
