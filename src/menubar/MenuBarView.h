#pragma once

#include <QWidget>

class AppState;

// The popover's content: timer row, filter, tabs, the timesheet or activity content, resize handle and
// footer.
class MenuBarView : public QWidget {
    Q_OBJECT

public:
    explicit MenuBarView(AppState& appState, QWidget* parent = nullptr);

private:
    AppState& m_appState;
};
