#pragma once

#include <QWebEnginePage>

// The page of a helper window. Pages' console messages are not printed (a sign-in page may log
// anything, tokens included); with tracing on, the page's first paint after a load is reported
// through firstPaint(). Links and scripts that ask for a new window open in this page.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT

public:
    BrowserPage(QWebEngineProfile* profile, bool trace, QObject* parent = nullptr);

Q_SIGNALS:
    void firstPaint();

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                  const QString& sourceID) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    bool m_trace = false;
};
