#include "platform/PopupBrowserService.h"

#include "core/Log.h"
#include "core/SettingsStore.h"
#include "platform/WebHelperProcess.h"

#include <QCoreApplication>
#include <QDesktopServices>

PopupBrowserService::PopupBrowserService(SettingsStore& settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_program(WebHelperProcess::defaultProgram())
    , m_desktopOpener([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

PopupBrowserService::~PopupBrowserService() = default;

void PopupBrowserService::open(const QUrl& url, const QString& title) {
    if (!WebHelperProcess::isWebAddress(url)) {
        // The address itself may carry a secret: only its scheme goes to the log.
        Log::warning(QStringLiteral("Refused to open an address that is not a web address (scheme \"%1\")")
                         .arg(url.scheme()),
                     Log::Category::ui);
        return;
    }
    if (m_settings.useDefaultBrowser()) {
        m_desktopOpener(url);
        return;
    }

    closeWindow();
    auto* window = new WebHelperProcess(this);
    m_window = window;
    connect(window, &WebHelperProcess::ended, window, [window] {
        if (window->failedToStart()) {
            Log::error(QStringLiteral("Could not open the browser window: %1").arg(window->errorText()),
                       Log::Category::ui);
        } else if (window->crashed() && !window->stopRequested()) {
            Log::error(QStringLiteral("The browser window ended unexpectedly"), Log::Category::ui);
        }
        window->deleteLater();
    });
    // "--name=value" keeps a title that starts with "-" a value.
    window->start(m_program, {QStringLiteral("browse"), QStringLiteral("--title=") + title,
                              QStringLiteral("--width=%1").arg(m_settings.popupBrowserWidth()),
                              QStringLiteral("--height=%1").arg(m_settings.popupBrowserHeight()),
                              QStringLiteral("--"), QString::fromLatin1(url.toEncoded())});
}

qint64 PopupBrowserService::windowProcessId() const {
    return m_window && m_window->isRunning() ? m_window->processId() : 0;
}

void PopupBrowserService::closeWindow() {
    if (m_window) {
        // Ends in the background; the object goes once the helper has.
        m_window->stop();
        m_window = nullptr;
    }
}
