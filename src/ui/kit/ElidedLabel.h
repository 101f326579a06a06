#pragma once

#include <QLabel>

// A one-line label that asks for the width of its text but makes do with less: a text longer than
// the room it gets is drawn cut at the end with an ellipsis. text() stays the whole text; with
// setShowsWholeTextWhenElided(true), hovering a cut text shows it whole (its own tooltip otherwise).
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(const QString& text, QWidget* parent = nullptr);

    // Whether the text is drawn cut at the label's present width.
    bool isElided() const;

    void setShowsWholeTextWhenElided(bool shows) { m_showsWholeTextWhenElided = shows; }

    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_showsWholeTextWhenElided = false;
};
