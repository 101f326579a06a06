#pragma once

#include "services/reports/ExportFormat.h"
#include "services/reports/UsageExport.h"
#include "services/usage/DailyUsageSummary.h"
#include "ui/reports/ExportClipboard.h"

#include <QCoroTask>
#include <QDialog>
#include <QHash>
#include <QTimer>

#include <optional>

class ActivityGrouping;
class OpenAIService;
class ProgressIndicator;
class QAbstractButton;
class QButtonGroup;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QuickCopyButton;

// The export dialog of one day's usage summary: the whole day as Markdown, plain text or CSV in a
// preview with "Copy All", quick copies of the timeline, the tasks and the summary, and a narrative
// summary written through OpenAI when a key is stored. It writes nothing but the clipboard and never
// changes the summary; everything in it covers only the sessions the summary holds (a filtered
// summary gives the export of its time range).
//
// A window-modal dialog that Esc and the window's close button close; it deletes itself when closed,
// so the report windows make one afresh for every opening:
//     auto* dialog = new ExportView(summary, openAI, grouping, window);
//     dialog->open();
// Whether a key is stored is asked once, when the dialog is first shown; until the answer arrives
// the AI section shows the configuration message. A summary request still under way when the dialog
// closes runs to its end and is dropped.
class ExportView : public QDialog {
    Q_OBJECT

public:
    using ExportFormat = ::ExportFormat;

    static constexpr int copyAllFeedbackMs = 2000;

    // The services are used, not owned, and must outlive the dialog (the OpenAI service also any
    // summary request it started).
    ExportView(DailyUsageSummary summary, OpenAIService& openAI, const ActivityGrouping& grouping,
               QWidget* parent = nullptr);
    ~ExportView() override;

    const DailyUsageSummary& summary() const { return m_summary; }
    ExportFormat exportFormat() const { return m_exportFormat; }
    void setExportFormat(ExportFormat format);
    // The whole day in the current format, built afresh.
    QString exportText() const;

    bool isOpenAIConfigured() const { return m_isOpenAIConfigured; }
    bool isGeneratingAISummary() const { return m_isGeneratingAISummary; }
    const std::optional<QString>& aiSummary() const { return m_aiSummary; }
    const std::optional<QString>& aiError() const { return m_aiError; }
    bool isShowingCopiedFeedback() const { return m_showCopiedFeedback; }

    // "Copy All": the export text of the current format onto the clipboard.
    void copyAll();
    // The Generate button: asks OpenAI for a narrative of the day's Markdown report. Does nothing
    // while a request is under way.
    void generateAISummary();

    // Replaces the desktop clipboard (tests). The dialog does not own it.
    void setClipboard(ExportClipboard& clipboard) { m_clipboard = &clipboard; }

    // The parts, for tests and screenshots.
    QAbstractButton* formatButton(ExportFormat format) const;
    QPushButton* copyAllButton() const { return m_copyAll; }
    QPlainTextEdit* preview() const { return m_preview; }
    // "Timeline Only", "Tasks Only", "Summary Only", and "Copy AI Summary" (shown with a summary).
    QuickCopyButton* quickCopyButton(const QString& title) const;
    QPushButton* generateButton() const { return m_generate; }
    QString generateButtonText() const;
    QWidget* configurationMessage() const { return m_notConfigured; }
    QWidget* aiErrorRow() const { return m_errorRow; }
    QPlainTextEdit* aiSummaryView() const { return m_summaryView; }

Q_SIGNALS:
    // The answer of the configuration check arrived.
    void openAIConfigurationChecked(bool configured);
    // A summary request ended, with a summary or an error.
    void aiSummaryFinished();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildQuickCopy();
    QWidget* buildAISection();
    void updatePreview();
    void updateCopyAll();
    void updateAISection();
    bool putOnClipboard(const QString& text);
    // Asks whether an OpenAI key is stored; the answer shows or hides the AI section's button.
    void checkConfiguration();
    // Asks for a summary of the day; the outcome shows in the AI section.
    void requestSummary();
    void showSummaryOutcome(std::optional<QString> summary, std::optional<QString> failure);

    const DailyUsageSummary m_summary;
    OpenAIService& m_openAI;
    UsageExport m_export;
    ExportClipboard m_systemClipboard;
    ExportClipboard* m_clipboard = &m_systemClipboard;

    ExportFormat m_exportFormat = ExportFormat::markdown;
    bool m_showCopiedFeedback = false;
    bool m_isGeneratingAISummary = false;
    std::optional<QString> m_aiSummary;
    std::optional<QString> m_aiError;
    bool m_isOpenAIConfigured = false;
    bool m_configurationAsked = false;

    QButtonGroup* m_formats = nullptr;
    QPushButton* m_copyAll = nullptr;
    QTimer m_copyAllFeedback;
    QPlainTextEdit* m_preview = nullptr;
    QHash<QString, QuickCopyButton*> m_quickCopies;
    QWidget* m_notConfigured = nullptr;
    QWidget* m_configured = nullptr;
    QPushButton* m_generate = nullptr;
    QLabel* m_generateSymbol = nullptr;
    ProgressIndicator* m_generateProgress = nullptr;
    QLabel* m_generateText = nullptr;
    QuickCopyButton* m_copyAISummary = nullptr;
    QWidget* m_errorRow = nullptr;
    QLabel* m_errorText = nullptr;
    QPlainTextEdit* m_summaryView = nullptr;
};
