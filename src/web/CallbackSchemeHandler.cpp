#include "web/CallbackSchemeHandler.h"

#include <QWebEngineUrlRequestJob>

void CallbackSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const QUrl url = job->requestUrl();
    job->fail(QWebEngineUrlRequestJob::RequestAborted);
    Q_EMIT callbackReceived(url);
}
