#pragma once

#include "services/reports/ExportFormat.h"

#include <QDate>
#include <QDateTime>
#include <QString>

class ActivityGrouping;
struct DailyUsageSummary;

// The texts the export dialog puts on the clipboard, built from one day's summary: the three
// whole-day formats and the three quick copies ("Timeline Only", "Tasks Only", "Summary Only").
// Every text is built afresh from the summary's sessions; dates and times follow the default locale
// and the local time zone at the moment of the call, and an open session ends now (Clock::now()).
class UsageExport {
public:
    explicit UsageExport(const ActivityGrouping& grouping);

    // The whole day in the format: the Markdown report of the usage data, its plain-text report, or
    // csvExport().
    QString exportText(ExportFormat format, const DailyUsageSummary& summary) const;

    // A header line and one row per session, earliest start first (equal starts keep their order).
    // Text cells are written through csvField().
    QString csvExport(const DailyUsageSummary& summary) const;
    // "TIMELINE - <date>" and one paragraph per activity block.
    QString timelineText(const DailyUsageSummary& summary) const;
    // "BY TASK - <date>" and one paragraph per task, the untracked time as "Untracked".
    QString byTaskText(const DailyUsageSummary& summary) const;
    // "APP USAGE SUMMARY": the date, the totals and the time of each application.
    QString summaryText(const DailyUsageSummary& summary) const;

    // One CSV cell holding the text. A text that starts with "=", "+", "-", "@", a tab or a carriage
    // return gets a leading apostrophe, so that a spreadsheet never reads it as a formula; a text
    // that then holds a comma, a double quote, a line feed or a carriage return is written between
    // double quotes with every double quote doubled.
    static QString csvField(const QString& text);
    // The date in the locale's long style without the weekday ("14 March 2025" in English (UK),
    // "March 14, 2025" in English (US)).
    static QString longDate(QDate date);
    // The local time of the moment in the locale's short style, without a date ("09:05", "9:05 AM").
    static QString shortTime(const QDateTime& moment);

private:
    const ActivityGrouping& m_grouping;
};
