#pragma once

#include <QWidget>

class AppState;

// Today's worked-on tasks, grouped by task, with their start-timer actions.
class WorklogSection : public QWidget {
    Q_OBJECT

public:
    explicit WorklogSection(AppState& appState, QWidget* parent = nullptr);

private:
    AppState& m_appState;
};
