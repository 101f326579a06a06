#pragma once

#include <QWidget>

class QTimer;

// The "Saved" label that stands before a tab's buttons after a successful save: a green check-mark
// disc and "Saved", shown by `flash()` for two seconds (a second flash restarts the two seconds).
class SavedConfirmation : public QWidget {
    Q_OBJECT

public:
    static constexpr int durationMs = 2000;

    explicit SavedConfirmation(QWidget* parent = nullptr);

    void flash();
    // Hides the label at once (the tab was hidden or saves again).
    void dismiss();

private:
    QTimer* m_timer;
};
