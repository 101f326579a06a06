#include "menubar/MenuBarView.h"

MenuBarView::MenuBarView(AppState& appState, QWidget* parent)
    : QWidget(parent)
    , m_appState(appState) {}
