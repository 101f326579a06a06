#pragma once

#include <QString>

#include <functional>

class AvatarImageCache;
class DayPlanningState;
class PlanningState;
class SearchState;

// What the day-planning screen shows and asks for: the states it observes and acts on, the shared
// profile pictures, and the ClickUp team its loads and searches go to. The team is asked for each
// time it is needed, so that a changed configuration counts from the next load or search on; it must
// be given.
struct DayPlanningSources {
    DayPlanningState& dayPlan;
    PlanningState& planning;
    SearchState& search;
    AvatarImageCache& pictures;
    std::function<QString()> teamId;
};
