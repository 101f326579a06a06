#pragma once

#include <QWidget>

class QLabel;

// The line a breakdown card shows when it has nothing to list: the message centred in the tertiary
// colour, 20 above and below.
class EmptyBreakdownView : public QWidget {
    Q_OBJECT

public:
    explicit EmptyBreakdownView(const QString& message, QWidget* parent = nullptr);

    QString message() const;

private:
    QLabel* m_message;
};
