#include "planning/PlanningSection.h"

PlanningSection::PlanningSection(AppState& appState, QWidget* parent)
    : QWidget(parent)
    , m_appState(appState) {}
