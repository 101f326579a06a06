#include "ui/reports/AppUsageReportOpener.h"

#include "ui/reports/AppUsageReportView.h"
#include "ui/reports/ReportWindowManager.h"

AppUsageReportOpener::AppUsageReportOpener(const ReportContext& context, ReportWindowManager& windows,
                                           QObject* parent)
    : QObject(parent)
    , m_context(context)
    , m_windows(windows) {}

AppUsageReportOpener::~AppUsageReportOpener() {
    delete m_window.data();
}

void AppUsageReportOpener::showReport() {
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
