#include "app/DayPlanningSourcesOf.h"

#include "services/AppState.h"

DayPlanningSources dayPlanningSourcesOf(AppState& state) {
    AppState* root = &state;
    return DayPlanningSources{*state.dayPlanningState(), *state.planningState(), *state.searchState(),
                              state.avatarImages(), [root] { return root->configuration().teamId; }};
}
