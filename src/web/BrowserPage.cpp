#include "web/BrowserPage.h"

#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {
const QString kPaintMarker = QStringLiteral("pendlow-web:painted");
} // namespace

BrowserPage::BrowserPage(QWebEngineProfile* profile, bool trace, QObject* parent)
    : QWebEnginePage(profile, parent)
    , m_trace(trace) {
    if (m_trace) {
        // Two animation frames after the document is ready, its first frame has been painted.
        QWebEngineScript script;
        script.setName(QStringLiteral("pendlow-web-paint-trace"));
        script.setInjectionPoint(QWebEngineScript::DocumentReady);
        script.setWorldId(QWebEngineScript::ApplicationWorld);
        script.setRunsOnSubFrames(false);
        script.setSourceCode(QStringLiteral("requestAnimationFrame(() => requestAnimationFrame(() => "
                                            "console.log('%1')));")
                                 .arg(kPaintMarker));
        scripts().insert(script);
    }
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                           const QString&) {
    if (m_trace && message == kPaintMarker) {
        Q_EMIT firstPaint();
    }
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType) {
    return this;
}
