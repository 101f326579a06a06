#pragma once

#include <QWidget>

class AppState;

// The weekly planning by week and client, and the ClickUp search results below the weeks.
class PlanningSection : public QWidget {
    Q_OBJECT

public:
    explicit PlanningSection(AppState& appState, QWidget* parent = nullptr);

private:
    AppState& m_appState;
};
