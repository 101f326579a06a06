#pragma once

#include <QWidget>

class QLabel;

// The outcome line of a settings action (a connection test, a login, a failed save): a green
// check-mark disc and the message in green on success, a red cross disc and the message in red on
// failure, in the caption font, the message wrapped in a box of two lines. Hidden until the first `show...`
// call; `clear()` hides it.
class SettingsResultLabel : public QWidget {
    Q_OBJECT

public:
    explicit SettingsResultLabel(QWidget* parent = nullptr);

    void showSuccess(const QString& message);
    void showFailure(const QString& message);
    void showResult(bool success, const QString& message);
    void clear();

    // What the line shows now: empty while hidden.
    QString message() const;
    bool isSuccess() const { return m_success; }

private:
    QLabel* m_icon;
    QLabel* m_text;
    bool m_success = false;
};
