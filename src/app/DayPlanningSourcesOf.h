#pragma once

#include "ui/dayplan/DayPlanningSources.h"

class AppState;

// The day-planning screen over the root state: its day plan, planning and search states, the shared
// profile pictures, and the configured team, asked for at each load or search.
DayPlanningSources dayPlanningSourcesOf(AppState& state);
