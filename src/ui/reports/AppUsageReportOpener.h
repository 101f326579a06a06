#pragma once

#include "ui/reports/AppUsageReportView.h"
#include "ui/reports/ReportContext.h"

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>

class ReportWindowManager;

// Opens the "App Usage Report" window (the popover's "View Full Report"). A window still open is
// raised and keeps its tab, day and data; a closed one is freed at once, so the next request makes
// a new one on the Dashboard tab with today selected.
class AppUsageReportOpener : public QObject {
    Q_OBJECT

public:
    static inline const QString title = QStringLiteral("App Usage Report");
    static constexpr QSize size{700, 500};
    static constexpr QSize minimumSize{500, 400};

    // The manager opens the report's separate windows.
    AppUsageReportOpener(const ReportContext& context, ReportWindowManager& windows,
                         QObject* parent = nullptr);
    // Closes and frees the window when it is still open.
    ~AppUsageReportOpener() override;

    void showReport();
    // The window open now, or none.
    AppUsageReportView* window() const { return m_window; }

private:
    const ReportContext& m_context;
    ReportWindowManager& m_windows;
    QPointer<AppUsageReportView> m_window;
};
