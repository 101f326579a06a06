#pragma once

#include <QWidget>

class AppState;
class QLineEdit;
class QToolButton;

// The popover's filter field, bound to SearchState::searchText. Each edit stores the text and asks
// the search state to react (SearchState::searchTextDidChange with the configured team id: the
// worklog and planning filter on it at once, the ClickUp search runs from three characters on). The
// clear button, present while there is text, empties the text and the search results.
class SearchField : public QWidget {
    Q_OBJECT

public:
    explicit SearchField(AppState& appState, QWidget* parent = nullptr);

    QLineEdit* lineEdit() const { return m_lineEdit; }
    QToolButton* clearButton() const { return m_clearButton; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void onTextEdited(const QString& text);
    void clear();
    void showSearchText();

    AppState& m_appState;
    QLineEdit* m_lineEdit;
    QToolButton* m_clearButton;
};
