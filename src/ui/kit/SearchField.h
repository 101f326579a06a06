#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// The popover's filter field. It shows the text its owner gives it (setText) and reports what the
// user does: each edit through textEdited, a click on the clear button, present while there is text,
// through clearRequested. The owner keeps the text (the popover: SearchState::searchText) and hands
// every change back.
class SearchField : public QWidget {
    Q_OBJECT

public:
    explicit SearchField(QWidget* parent = nullptr);

    QLineEdit* lineEdit() const { return m_lineEdit; }
    QToolButton* clearButton() const { return m_clearButton; }

    // Shows a text kept elsewhere (it may change there too); the clear button follows it.
    void setText(const QString& text);

Q_SIGNALS:
    // The user changed the text.
    void textEdited(const QString& text);
    // The clear button was clicked.
    void clearRequested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLineEdit* m_lineEdit;
    QToolButton* m_clearButton;
};
