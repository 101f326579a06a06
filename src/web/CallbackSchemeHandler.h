#pragma once

#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

// Catches every request for the sign-in callback scheme (a redirect, a script or a link that goes
// to "<scheme>://..."): the request is aborted, so the page stays as it is, and its address is
// handed on through callbackReceived().
class CallbackSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT

public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void requestStarted(QWebEngineUrlRequestJob* job) override;

Q_SIGNALS:
    void callbackReceived(const QUrl& url);
};
