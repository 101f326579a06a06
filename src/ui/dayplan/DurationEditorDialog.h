#pragma once

#include <QDialog>

class QPushButton;
class QSpinBox;

// Asks for a new duration: hours (0 to 12, or the entry's own hours when longer) in steps of 1 and
// minutes (0 to 59) in steps of 15, four presets (15m, 30m, 1h, 2h) that set the fields without
// saving, "Cancel" (Esc) and "Save" (Ctrl+Return), which stays disabled below one minute.
class DurationEditorDialog : public QDialog {
    Q_OBJECT

public:
    explicit DurationEditorDialog(double currentSeconds, QWidget* parent = nullptr);

    int hours() const;
    int minutes() const;
    double totalSeconds() const;
    // Sets the fields from seconds, as the presets do (whole minutes, split into hours and minutes).
    void setDuration(double seconds);

    QSpinBox* hoursField() const { return m_hours; }
    QSpinBox* minutesField() const { return m_minutes; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* presetButton(const QString& label) const;

private:
    void updateSaveEnabled();

    QSpinBox* m_hours;
    QSpinBox* m_minutes;
    QPushButton* m_save;
};
