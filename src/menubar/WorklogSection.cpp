#include "menubar/WorklogSection.h"

WorklogSection::WorklogSection(AppState& appState, QWidget* parent)
    : QWidget(parent)
    , m_appState(appState) {}
