#pragma once

#include <QWidget>

struct DailyUsageSummary;
class ApplicationsSection;
class KeywordsSection;
class PathsSection;
class QGridLayout;
class WebsitesSection;

// The dashboard's four breakdown cards in two columns, 16 apart: Websites and Applications above,
// Paths and Keywords below, each built from the summary it is given.
class BreakdownGrid : public QWidget {
    Q_OBJECT

public:
    explicit BreakdownGrid(const DailyUsageSummary& summary, QWidget* parent = nullptr);

    // Builds the four cards anew for another summary (the day under another filter); applications
    // that were unfolded and are still listed stay unfolded.
    void setSummary(const DailyUsageSummary& summary);

    WebsitesSection* websites() const { return m_websites; }
    ApplicationsSection* applications() const { return m_applications; }
    PathsSection* paths() const { return m_paths; }
    KeywordsSection* keywords() const { return m_keywords; }

private:
    QGridLayout* m_layout;
    WebsitesSection* m_websites = nullptr;
    ApplicationsSection* m_applications = nullptr;
    PathsSection* m_paths = nullptr;
    KeywordsSection* m_keywords = nullptr;
};
