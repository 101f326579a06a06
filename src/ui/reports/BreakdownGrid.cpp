#include "ui/reports/BreakdownGrid.h"

#include "services/usage/DailyUsageSummary.h"
#include "ui/reports/ApplicationsSection.h"
#include "ui/reports/ExpandableAppRow.h"
#include "ui/reports/KeywordsSection.h"
#include "ui/reports/PathsSection.h"
#include "ui/reports/WebsitesSection.h"

#include <QGridLayout>
#include <QSet>

BreakdownGrid::BreakdownGrid(const DailyUsageSummary& summary, QWidget* parent)
    : QWidget(parent) {
    m_layout = new QGridLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setHorizontalSpacing(16);
    m_layout->setVerticalSpacing(16);
    m_layout->setColumnStretch(0, 1);
    m_layout->setColumnStretch(1, 1);
    setSummary(summary);
}

void BreakdownGrid::setSummary(const DailyUsageSummary& summary) {
    // Applications stay unfolded across a change of the range, as long as they are listed.
    QSet<QString> unfolded;
    if (m_applications) {
        for (const ExpandableAppRow* row : m_applications->rows()) {
            if (row->isExpanded()) {
                unfolded.insert(row->app().appId);
            }
        }
    }
    for (QWidget* card : {static_cast<QWidget*>(m_websites), static_cast<QWidget*>(m_applications),
                          static_cast<QWidget*>(m_paths), static_cast<QWidget*>(m_keywords)}) {
        if (card) {
            m_layout->removeWidget(card);
            delete card;
        }
    }
    m_websites = new WebsitesSection(summary.websiteUsage(), this);
    m_applications = new ApplicationsSection(summary.appBreakdown(), summary, this);
    for (ExpandableAppRow* row : m_applications->rows()) {
        if (unfolded.contains(row->app().appId)) {
            row->toggle();
        }
    }
    m_paths = new PathsSection(summary.pathUsage(), this);
    m_keywords = new KeywordsSection(summary.keywordUsage(), this);
    m_layout->addWidget(m_websites, 0, 0, Qt::AlignTop);
    m_layout->addWidget(m_applications, 0, 1, Qt::AlignTop);
    m_layout->addWidget(m_paths, 1, 0, Qt::AlignTop);
    m_layout->addWidget(m_keywords, 1, 1, Qt::AlignTop);
}
