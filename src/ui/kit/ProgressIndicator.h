#pragma once

#include <QTimer>
#include <QWidget>

// A small indeterminate progress indicator: a turning arc in the secondary text colour. It turns
// only while it is shown.
class ProgressIndicator : public QWidget {
    Q_OBJECT

public:
    explicit ProgressIndicator(int diameter, QWidget* parent = nullptr);

    bool isSpinning() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer m_timer;
    int m_angle = 0;
};
