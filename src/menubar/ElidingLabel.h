#pragma once

#include <QLabel>

// A one-line label that shows as much of its text as fits and ends a cut text with "…"; the whole
// text of a cut one is its tooltip.
class ElidingLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidingLabel(QWidget* parent = nullptr);

    QString fullText() const { return m_fullText; }
    void setFullText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void elide();

    QString m_fullText;
};
