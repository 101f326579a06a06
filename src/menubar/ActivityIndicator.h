#pragma once

#include <QTimer>
#include <QWidget>

// A small indeterminate progress spinner. It turns only while it is shown.
class ActivityIndicator : public QWidget {
    Q_OBJECT

public:
    explicit ActivityIndicator(int diameter, QWidget* parent = nullptr);

    bool isAnimating() const { return m_timer.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer m_timer;
    int m_step = 0;
};
