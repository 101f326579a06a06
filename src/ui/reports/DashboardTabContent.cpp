#include "ui/reports/DashboardTabContent.h"

#include "services/clickup/WorklogState.h"
#include "services/reports/ReportDate.h"
#include "services/reports/UsageReportState.h"
#include "services/usage/UsageDay.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/reports/DashboardView.h"
#include "ui/reports/DateRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
QToolButton* headerButton(const QString& name, const QString& symbol, const QString& help,
                          const QColor& color, QWidget* parent) {
    QToolButton* button = PopoverStyle::plainButton(QString(), symbol, 12, color, parent);
    button->setObjectName(name);
    button->setToolTip(help);
    button->setAccessibleName(help);
    return button;
}

QWidget* centred(QWidget* content, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->addStretch(1);
    layout->addWidget(content, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    return page;
}
} // namespace

DashboardTabContent::DashboardTabContent(const ReportContext& context, UsageReportState& state,
                                         QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_state(state) {
    setObjectName(QStringLiteral("dashboardTabContent"));
    const QPalette& colors = palette();
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    // The day list.
    auto* list = new QWidget(this);
    list->setObjectName(QStringLiteral("dayList"));
    list->setFixedWidth(listWidth);
    list->setAutoFillBackground(true);
    list->setBackgroundRole(QPalette::Base);
    auto* listLayout = new QVBoxLayout(list);
    listLayout->setContentsMargins(0, 12, 0, 0);
    listLayout->setSpacing(6);
    auto* history = new QLabel(QStringLiteral("History"), list);
    history->setObjectName(QStringLiteral("historyTitle"));
    history->setFont(PopoverStyle::font(13, QFont::DemiBold));
    history->setContentsMargins(12, 0, 12, 0);
    listLayout->addWidget(history);
    m_noData = new QLabel(QStringLiteral("No data yet"), list);
    m_noData->setObjectName(QStringLiteral("noDataLabel"));
    m_noData->setAlignment(Qt::AlignCenter);
    PopoverStyle::setTextColor(m_noData, PopoverStyle::secondaryText(colors));
    listLayout->addWidget(m_noData, 1);
    m_scroll = new QScrollArea(list);
    m_scroll->setObjectName(QStringLiteral("dayListScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* rowsWidget = new QWidget(m_scroll);
    m_rows = new QVBoxLayout(rowsWidget);
    m_rows->setContentsMargins(8, 0, 8, 8);
    m_rows->setSpacing(2);
    m_rows->addStretch(1);
    m_scroll->setWidget(rowsWidget);
    listLayout->addWidget(m_scroll, 1);
    outer->addWidget(list);

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Plain);
    separator->setForegroundRole(QPalette::Mid);
    outer->addWidget(separator);

    // The detail pane.
    auto* detail = new QWidget(this);
    detail->setObjectName(QStringLiteral("dayDetail"));
    auto* detailLayout = new QVBoxLayout(detail);
    detailLayout->setContentsMargins(0, 0, 0, 0);
    detailLayout->setSpacing(0);
    auto* header = new QWidget(detail);
    header->setObjectName(QStringLiteral("detailHeader"));
    auto* headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(12, 8, 12, 8);
    headerRow->setSpacing(12);
    m_dayTitle = new QLabel(header);
    m_dayTitle->setObjectName(QStringLiteral("dayTitle"));
    m_dayTitle->setFont(PopoverStyle::font(13, QFont::Medium));
    headerRow->addWidget(m_dayTitle);
    headerRow->addStretch(1);
    const QColor primary = PopoverStyle::primaryText(colors);
    m_refresh = headerButton(QStringLiteral("refreshButton"), QStringLiteral("view-refresh"),
                             QStringLiteral("Refresh data"), primary, header);
    m_export = headerButton(QStringLiteral("exportButton"), QStringLiteral("document-send"),
                            QStringLiteral("Export report"), primary, header);
    m_delete = headerButton(QStringLiteral("deleteButton"), QStringLiteral("user-trash"),
                            QStringLiteral("Delete history for this day"), QColor(255, 59, 48), header);
    headerRow->addWidget(m_refresh);
    headerRow->addWidget(m_export);
    headerRow->addWidget(m_delete);
    detailLayout->addWidget(header);
    detailLayout->addWidget(PopoverStyle::divider(detail));
    m_error = new QLabel(detail);
    m_error->setObjectName(QStringLiteral("reportError"));
    m_error->setWordWrap(true);
    m_error->setContentsMargins(12, 6, 12, 6);
    PopoverStyle::setTextColor(m_error, QColor(255, 59, 48));
    detailLayout->addWidget(m_error);

    m_content = new QStackedWidget(detail);
    auto* busy = new QProgressBar(detail);
    busy->setObjectName(QStringLiteral("loadingIndicator"));
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    busy->setFixedWidth(160);
    m_progressPage = centred(busy, m_content);
    m_dashboardPage = new QWidget(m_content);
    m_dashboardLayout = new QVBoxLayout(m_dashboardPage);
    m_dashboardLayout->setContentsMargins(0, 0, 0, 0);
    auto* empty = new QWidget(detail);
    auto* emptyLayout = new QVBoxLayout(empty);
    emptyLayout->setSpacing(8);
    emptyLayout->addWidget(PopoverStyle::symbolLabel(QStringLiteral("office-chart-bar"), 40,
                                                     PopoverStyle::tertiaryText(colors), empty),
                           0, Qt::AlignHCenter);
    auto* emptyText = new QLabel(QStringLiteral("Select a date to view usage"), empty);
    emptyText->setObjectName(QStringLiteral("emptyStateText"));
    PopoverStyle::setTextColor(emptyText, PopoverStyle::secondaryText(colors));
    emptyLayout->addWidget(emptyText, 0, Qt::AlignHCenter);
    m_emptyPage = centred(empty, m_content);
    m_content->addWidget(m_progressPage);
    m_content->addWidget(m_dashboardPage);
    m_content->addWidget(m_emptyPage);
    detailLayout->addWidget(m_content, 1);
    outer->addWidget(detail, 1);

    connect(m_refresh, &QToolButton::clicked, &m_state, &UsageReportState::refresh);
    connect(m_export, &QToolButton::clicked, this, &DashboardTabContent::openExport);
    connect(m_delete, &QToolButton::clicked, this, [this] { confirmDelete(); });
    connect(&m_state, &UsageReportState::availableDatesChanged, this, &DashboardTabContent::rebuildList);
    connect(&m_state, &UsageReportState::selectedDateChanged, this, &DashboardTabContent::updateSelection);
    connect(&m_state, &UsageReportState::selectedSummaryChanged, this, &DashboardTabContent::updateSummary);
    connect(&m_state, &UsageReportState::isLoadingChanged, this, &DashboardTabContent::updateDetail);
    connect(&m_state, &UsageReportState::errorTextChanged, this, &DashboardTabContent::updateDetail);
    rebuildList();
    updateSummary();
}

QList<DateRow*> DashboardTabContent::dateRows() const {
    QList<DateRow*> rows;
    for (int i = 0; i < m_rows->count(); ++i) {
        if (auto* row = qobject_cast<DateRow*>(m_rows->itemAt(i)->widget())) {
            rows.append(row);
        }
    }
    return rows;
}

void DashboardTabContent::rebuildList() {
    for (DateRow* row : dateRows()) {
        m_rows->removeWidget(row);
        delete row;
    }
    const QList<QDate>& days = m_state.availableDates();
    m_noData->setVisible(days.isEmpty());
    m_scroll->setVisible(!days.isEmpty());
    int index = 0;
    for (const QDate day : days) {
        auto* row = new DateRow(day, day == m_state.selectedDate(), m_scroll->widget());
        connect(row, &DateRow::clicked, &m_state, [this, day] { m_state.selectDate(day); });
        m_rows->insertWidget(index++, row);
    }
}

void DashboardTabContent::updateSelection() {
    for (DateRow* row : dateRows()) {
        row->setSelected(row->date() == m_state.selectedDate());
    }
    updateDetail();
}

void DashboardTabContent::updateSummary() {
    if (m_dashboard) {
        m_dashboardLayout->removeWidget(m_dashboard);
        delete m_dashboard;
        m_dashboard = nullptr;
    }
    if (const std::optional<DailyUsageSummary>& summary = m_state.selectedSummary()) {
        QList<TimeEntry> entries;
        if (m_context.worklog) {
            for (const TimeEntry& entry : m_context.worklog->timeEntries()) {
                if (usageday::of(entry.startTime) == summary->date) {
                    entries.append(entry);
                }
            }
        }
        m_dashboard = new DashboardView(*summary, entries, m_dashboardPage);
        m_dashboardLayout->addWidget(m_dashboard);
    }
    updateDetail();
}

void DashboardTabContent::updateDetail() {
    const bool hasSummary = m_state.selectedSummary().has_value();
    m_dayTitle->setVisible(hasSummary);
    m_dayTitle->setText(reportdate::longText(m_state.selectedDate()));
    m_export->setVisible(hasSummary);
    m_delete->setVisible(hasSummary);
    m_error->setText(m_state.errorText());
    m_error->setVisible(!m_state.errorText().isEmpty());
    if (m_state.isLoading()) {
        m_content->setCurrentWidget(m_progressPage);
    } else if (hasSummary) {
        m_content->setCurrentWidget(m_dashboardPage);
    } else {
        m_content->setCurrentWidget(m_emptyPage);
    }
}

QString DashboardTabContent::deleteMessage(QDate day) {
    return QStringLiteral("Are you sure you want to delete all usage data for %1? This cannot be undone.")
        .arg(reportdate::longText(day));
}

QMessageBox* DashboardTabContent::confirmDelete() {
    auto* dialog = new QMessageBox(window());
    dialog->setObjectName(QStringLiteral("deleteConfirmation"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setIcon(QMessageBox::Warning);
    dialog->setWindowTitle(QStringLiteral("Delete Usage Data"));
    dialog->setText(QStringLiteral("Delete Usage Data"));
    dialog->setInformativeText(deleteMessage(m_state.selectedDate()));
    QPushButton* remove = dialog->addButton(QStringLiteral("Delete"), QMessageBox::DestructiveRole);
    remove->setObjectName(QStringLiteral("confirmDeleteButton"));
    QPushButton* cancel = dialog->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelDeleteButton"));
    dialog->setDefaultButton(cancel);
    dialog->setEscapeButton(cancel);
    QPointer<UsageReportState> state(&m_state);
    connect(dialog, &QMessageBox::buttonClicked, this, [state, remove](QAbstractButton* clicked) {
        if (clicked == remove && state) {
            state->deleteSelected();
        }
    });
    dialog->open();
    return dialog;
}

void DashboardTabContent::openExport() {
    const std::optional<DailyUsageSummary>& summary = m_state.selectedSummary();
    if (summary && m_context.showExport) {
        m_context.showExport(*summary, window());
    }
}
