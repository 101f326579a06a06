// pendlow-web: the in-app browser window and the sign-in window, in a process of their own so that
// the tray process never loads QtWebEngine. See WebHelperOptions for the command line and
// platform/WebHelperProtocol.h for what it reports.
#include "platform/TerminationSignals.h"
#include "platform/WebHelperProtocol.h"
#include "web/BrowserPage.h"
#include "web/BrowserWindow.h"
#include "web/CallbackSchemeHandler.h"
#include "web/WebHelperOptions.h"
#include "web/WebProfile.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineUrlScheme>

#include <csignal>
#include <cstdio>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
// In the sanitizer build: Chromium inside QtWebEngine deletes some of its objects through a base
// of another size, which AddressSanitizer would stop the helper for. Our own code is still checked
// in the tray process and the tests, which do not load QtWebEngine.
extern "C" const char* __asan_default_options() {
    return "new_delete_type_mismatch=0";
}
#endif
#endif

namespace {
void writeLine(QByteArrayView first, QByteArrayView second = {}) {
    std::fwrite(first.data(), 1, size_t(first.size()), stdout);
    std::fwrite(second.data(), 1, size_t(second.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void registerCallbackScheme(const QString& name) {
    QWebEngineUrlScheme scheme(name.toLatin1());
    // Not a local scheme: web pages must be allowed to navigate to it.
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    QWebEngineUrlScheme::registerScheme(scheme);
}
} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QString error;
    const auto parsed = WebHelperOptions::parse(arguments, &error);
    if (!parsed) {
        std::fprintf(stderr, "pendlow-web: %s\n%s", qPrintable(error), qPrintable(WebHelperOptions::usage()));
        return WebHelperProtocol::exitUsage;
    }
    const WebHelperOptions options = *parsed;
    const bool signIn = options.mode == WebHelperOptions::Mode::signIn;

    // Custom schemes must be known before the application object exists.
    if (signIn) {
        registerCallbackScheme(options.callbackScheme);
    }
    // The engine's start-up report is of no use to the user.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pendlow"));
    QApplication::setDesktopFileName(QStringLiteral("pendlow"));
    QApplication::setQuitOnLastWindowClosed(false);

    QWebEngineProfile* profile = WebProfile::create(&app);
    BrowserWindow window(profile, options.trace);

    bool finished = false;
    const auto finish = [&](int code) {
        if (!finished) {
            finished = true;
            window.hide();
            QApplication::exit(code);
        }
    };
    const int closedCode = signIn ? WebHelperProtocol::exitCancelled : WebHelperProtocol::exitClosed;

    TerminationSignals terminationSignals({SIGTERM, SIGINT, SIGHUP});
    QObject::connect(&terminationSignals, &TerminationSignals::received, &app, [&] { finish(closedCode); });
    QObject::connect(&window, &BrowserWindow::closed, &app, [&] { finish(closedCode); });

    CallbackSchemeHandler callbackHandler;
    if (signIn) {
        profile->installUrlSchemeHandler(options.callbackScheme.toLatin1(), &callbackHandler);
        QObject::connect(
            &callbackHandler, &CallbackSchemeHandler::callbackReceived, &app, [&](const QUrl& url) {
                if (!finished) {
                    writeLine(WebHelperProtocol::callbackPrefix, url.toEncoded(QUrl::FullyEncoded));
                    finish(WebHelperProtocol::exitCallback);
                }
            });
        // The title names the site the user signs in to, whatever the page calls itself.
        const auto showHost = [&window](const QUrl& url) {
            const QString host = url.host();
            window.setWindowTitle(host.isEmpty() ? QStringLiteral("Sign In")
                                                 : QStringLiteral("Sign In – %1").arg(host));
        };
        QObject::connect(&window, &QWebEngineView::urlChanged, &window, showHost);
        showHost(options.url);
    } else {
        window.setWindowTitle(options.title);
    }

    if (options.trace) {
        QObject::connect(&window, &QWebEngineView::loadFinished, &app, [](bool ok) {
            writeLine(WebHelperProtocol::tracePrefix, ok ? "loaded" : "load-failed");
        });
        QObject::connect(window.browserPage(), &BrowserPage::firstPaint, &app,
                         [] { writeLine(WebHelperProtocol::tracePrefix, "painted"); });
    }

    window.placeCentred(options.width, options.height);
    window.load(options.url);
    window.present();
    QTimer::singleShot(0, &app, [] { writeLine(WebHelperProtocol::shownLine); });

    const int code = QApplication::exec();
    if (signIn) {
        profile->removeUrlSchemeHandler(&callbackHandler);
    }
    return code;
}
