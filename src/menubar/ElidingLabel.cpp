#include "menubar/ElidingLabel.h"

#include <QEvent>
#include <QFontMetrics>

ElidingLabel::ElidingLabel(QWidget* parent)
    : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void ElidingLabel::setFullText(const QString& text) {
    if (m_fullText == text) {
        return;
    }
    m_fullText = text;
    updateGeometry();
    elide();
}

QSize ElidingLabel::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(m_fullText), metrics.height());
}

QSize ElidingLabel::minimumSizeHint() const {
    return QSize(0, QFontMetrics(font()).height());
}

void ElidingLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void ElidingLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        elide();
    }
}

void ElidingLabel::elide() {
    const QString shown = QFontMetrics(font()).elidedText(m_fullText, Qt::ElideRight, contentsRect().width());
    if (shown != text()) {
        setText(shown);
        // A cut text is shown whole on hover.
        setToolTip(shown == m_fullText ? QString() : m_fullText);
    }
}
