#pragma once

#include <QWidget>

class QLabel;

// The top of a stand-alone report window: its heading on the left, the shown day on the right, and a
// divider beneath.
class ReportWindowHeader : public QWidget {
    Q_OBJECT

public:
    explicit ReportWindowHeader(const QString& heading, QWidget* parent = nullptr);

    QLabel* dateLabel() const { return m_date; }

private:
    QLabel* m_date;
};
