#pragma once

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class WebHelperProcess;

// A web sign-in in a window of its own: the pendlow-web helper shows the login page and, when the
// page goes to an address of the callback scheme (a redirect, a script or a link), hands that
// address back and closes. The helper's web profile is kept on disk, so the sign-in shares cookies
// with earlier sign-ins and with the in-app browser window.
//
// Only one sign-in window exists at a time: starting a sign-in ends one still under way, in this
// session or in another, and that one then fails as cancelled. Destroying a session ends its window.
class WebAuthenticationSession : public QObject {
    Q_OBJECT

public:
    explicit WebAuthenticationSession(QObject* parent = nullptr);
    ~WebAuthenticationSession() override;

    // The helper executable; WebHelperProcess::defaultProgram() unless set (tests give their own).
    void setHelperProgram(const QString& program) { m_program = program; }
    QString helperProgram() const { return m_program; }

    // Opens loginUrl (http or https) in the sign-in window and returns the first address of
    // callbackScheme that the page goes to, whole: the query is kept as sent. It carries the
    // tokens, so it is never logged. Throws WebAuthenticationError: cancelled when the user closes
    // the window (or the sign-in is cancelled or replaced), startFailed when the window cannot be
    // opened, failed when it goes away unexpectedly. Virtual so that tests of its users can stand
    // in for the window.
    virtual QCoro::Task<QUrl> authenticate(QUrl loginUrl, QString callbackScheme);

    // Closes the sign-in window under way, if any; its authenticate() then throws cancelled.
    void cancel();

    bool isRunning() const;
    // The helper's process id while a sign-in is under way, else 0.
    qint64 processId() const;

private:
    QString m_program;
    QPointer<WebHelperProcess> m_helper;
};
