#pragma once

#include <QString>
#include <QTimer>
#include <QToolButton>

#include <functional>

// A small copy button: a copy symbol and its title. A click asks `content` for the text (at the
// moment of the click) and hands it to `put`; only when put reports that the clipboard holds it does
// the button read "Copied!" with a check mark, disabled, for feedbackMs before it returns to its
// title. Each button keeps its own feedback.
class QuickCopyButton : public QToolButton {
    Q_OBJECT

public:
    static constexpr int feedbackMs = 1500;

    using Content = std::function<QString()>;
    using Put = std::function<bool(const QString&)>;

    QuickCopyButton(QString title, Content content, Put put, QWidget* parent = nullptr);

    const QString& title() const { return m_title; }
    bool isShowingCopied() const { return m_showCopied; }

Q_SIGNALS:
    // The clipboard took the text.
    void copied();

private:
    void copy();
    void setShowCopied(bool showCopied);

    QString m_title;
    Content m_content;
    Put m_put;
    bool m_showCopied = false;
    QTimer m_feedback;
};
