#include "ui/clickup/StatusBadge.h"

#include "ui/kit/RowStyle.h"

#include <QPainter>

namespace {
constexpr int diameter = 8;
}

StatusBadge::StatusBadge(TaskStatus status, QWidget* parent)
    : QWidget(parent)
    , m_status(status) {
    setFixedSize(diameter, diameter);
    setToolTip(helpText(status));
    setAccessibleName(helpText(status));
}

QColor StatusBadge::color(TaskStatus status, const QPalette& palette) {
    switch (status) {
    case TaskStatus::inProgress:
        return RowStyle::green(palette);
    case TaskStatus::inReview:
        return RowStyle::cyan(palette);
    case TaskStatus::codeReview:
        return RowStyle::yellow(palette);
    case TaskStatus::needsQuote:
    case TaskStatus::needsClarification:
        return RowStyle::purple(palette);
    case TaskStatus::other:
        break;
    }
    return RowStyle::gray(palette);
}

QString StatusBadge::helpText(TaskStatus status) {
    QStringList words = rawValue(status).split(u' ');
    for (QString& word : words) {
        if (!word.isEmpty()) {
            word[0] = word[0].toUpper();
        }
    }
    return words.join(u' ');
}

void StatusBadge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color(m_status, palette()));
    painter.drawEllipse(QRectF(rect()));
}
