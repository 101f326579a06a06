#pragma once

#include <QWidget>

class QPushButton;

// The orange banner shown while window-title tracking is on but the titles of other applications'
// windows cannot be read (no X11 window manager that publishes the active window). Its button asks
// the owner to explain what is needed: grantRequested().
class AccessibilityWarningBanner : public QWidget {
    Q_OBJECT

public:
    explicit AccessibilityWarningBanner(QWidget* parent = nullptr);

    QPushButton* grantButton() const { return m_grant; }

    static const QString title;
    static const QString message;
    // What the button explains.
    static const QString explanation;

Q_SIGNALS:
    void grantRequested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPushButton* m_grant;
};
