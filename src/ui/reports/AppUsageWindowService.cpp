#include "ui/reports/AppUsageWindowService.h"

#include "ui/reports/AppUsageReportView.h"
#include "ui/reports/ReportWindowManager.h"

AppUsageWindowService::AppUsageWindowService(const ReportContext& context, ReportWindowManager& windows,
                                             QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_windows(windows) {}

AppUsageWindowService::~AppUsageWindowService() {
    delete m_window.data();
}

void AppUsageWindowService::showReport() {
    if (ReportWindowManager::raiseIfVisible(m_window)) {
        return;
    }
    auto* window = new AppUsageReportView(m_context, &m_windows);
    ReportWindowManager::prepareWindow(window, {title, size, minimumSize});
    m_window = window;
    m_windows.track(window);
    window->show();
    window->raise();
    window->activateWindow();
}
