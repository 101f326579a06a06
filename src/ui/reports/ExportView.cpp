#include "ui/reports/ExportView.h"

#include "core/DetachedTask.h"
#include "core/Error.h"
#include "services/openai/OpenAIService.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/reports/QuickCopyButton.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
constexpr int horizontalPadding = 16;
constexpr int verticalPadding = 12;
constexpr int formatPickerWidth = 250;

QColor purple(const QPalette& palette) {
    return PopoverStyle::isDark(palette) ? QColor(0xbf, 0x5a, 0xf2) : QColor(0xaf, 0x52, 0xde);
}

QLabel* textLabel(const QString& text, qreal size, QFont::Weight weight, const QColor& color,
                  QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(PopoverStyle::font(size, weight));
    PopoverStyle::setTextColor(label, color);
    return label;
}

QHBoxLayout* row(int spacing) {
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

// A filled push button that keeps its fill, a little faded, while it is disabled.
QString filledButtonStyle(const QColor& fill) {
    QColor faded = fill;
    faded.setAlphaF(0.6f);
    return PopoverStyle::filledButtonStyleSheet(fill) +
           u"QPushButton:disabled { background: %1; color: white; }"_s.arg(faded.name(QColor::HexArgb));
}

QString segmentStyle(const QPalette& palette, bool first, bool last) {
    const QString border = PopoverStyle::separator(palette).name(QColor::HexArgb);
    return u"QPushButton { background: %1; color: %2; border: 1px solid %3; padding: 3px 6px;"
           " border-top-left-radius: %5px; border-bottom-left-radius: %5px;"
           " border-top-right-radius: %6px; border-bottom-right-radius: %6px; %7 }"
           "QPushButton:checked { background: %4; color: white; }"_s.arg(
               PopoverStyle::controlBackground(palette).name(QColor::HexArgb),
               PopoverStyle::primaryText(palette).name(QColor::HexArgb), border,
               PopoverStyle::accent(palette).name(QColor::HexArgb), QString::number(first ? 6 : 0),
               QString::number(last ? 6 : 0), first ? QString() : u"border-left: none;"_s);
}
} // namespace

ExportView::ExportView(DailyUsageSummary summary, OpenAIService& openAI, const ActivityGrouping& grouping,
                       QWidget* parent)
    : QDialog(parent)
    , m_summary(std::move(summary))
    , m_openAI(openAI)
    , m_export(grouping) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(u"Export"_s);
    setSizeGripEnabled(true);
    resize(640, 640);

    m_copyAllFeedback.setSingleShot(true);
    m_copyAllFeedback.setInterval(copyAllFeedbackMs);
    connect(&m_copyAllFeedback, &QTimer::timeout, this, [this] {
        m_showCopiedFeedback = false;
        updateCopyAll();
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, verticalPadding, 0, verticalPadding);
    layout->setSpacing(16);
    auto padded = [this](QWidget* content) {
        return PopoverStyle::padded(content, horizontalPadding, 0, 0, this);
    };
    layout->addWidget(padded(buildHeader()));
    layout->addWidget(PopoverStyle::divider(this));

    m_preview = new QPlainTextEdit(this);
    m_preview->setReadOnly(true);
    m_preview->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_preview->setFont(PopoverStyle::monospacedFont(11));
    m_preview->setFrameShape(QFrame::NoFrame);
    m_preview->setStyleSheet(
        u"QPlainTextEdit { background: %1; color: %2; border-radius: 8px; padding: 6px; }"_s.arg(
            palette().color(QPalette::Base).name(QColor::HexArgb),
            palette().color(QPalette::Text).name(QColor::HexArgb)));
    layout->addWidget(padded(m_preview), 1);

    layout->addWidget(padded(buildQuickCopy()));
    layout->addWidget(PopoverStyle::divider(this));
    layout->addWidget(padded(buildAISection()));

    updatePreview();
    updateCopyAll();
    updateAISection();
}

ExportView::~ExportView() = default;

QWidget* ExportView::buildHeader() {
    auto* header = new QWidget(this);
    auto* layout = row(8);
    header->setLayout(layout);
    layout->addWidget(
        textLabel(u"Export Format:"_s, 12, QFont::Normal, PopoverStyle::secondaryText(palette()), header));

    auto* picker = new QWidget(header);
    picker->setAccessibleName(u"Format"_s);
    picker->setFixedWidth(formatPickerWidth);
    auto* segments = row(0);
    picker->setLayout(segments);
    m_formats = new QButtonGroup(this);
    m_formats->setExclusive(true);
    const QList<ExportFormat>& formats = allExportFormats();
    for (qsizetype i = 0; i < formats.size(); ++i) {
        auto* segment = new QPushButton(exportFormatLabel(formats[i]), picker);
        segment->setCheckable(true);
        segment->setAutoDefault(false);
        segment->setFont(PopoverStyle::font(12));
        segment->setCursor(Qt::PointingHandCursor);
        segment->setStyleSheet(segmentStyle(palette(), i == 0, i == formats.size() - 1));
        segment->setChecked(formats[i] == m_exportFormat);
        m_formats->addButton(segment, int(formats[i]));
        segments->addWidget(segment, 1);
    }
    connect(m_formats, &QButtonGroup::idClicked, this,
            [this](int id) { setExportFormat(static_cast<ExportFormat>(id)); });
    layout->addWidget(picker);
    layout->addStretch(1);

    m_copyAll = new QPushButton(header);
    m_copyAll->setAutoDefault(false);
    m_copyAll->setFont(PopoverStyle::font(12));
    m_copyAll->setCursor(Qt::PointingHandCursor);
    const int symbol = PopoverStyle::symbolSize(12, this);
    m_copyAll->setIconSize(QSize(symbol, symbol));
    m_copyAll->setStyleSheet(filledButtonStyle(PopoverStyle::accent(palette())));
    connect(m_copyAll, &QPushButton::clicked, this, &ExportView::copyAll);
    layout->addWidget(m_copyAll);
    return header;
}

QWidget* ExportView::buildQuickCopy() {
    auto* section = new QWidget(this);
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(
        textLabel(u"Quick Copy"_s, 12, QFont::DemiBold, PopoverStyle::secondaryText(palette()), section));
    auto* buttons = row(12);
    const auto put = [this](const QString& text) { return putOnClipboard(text); };
    const QList<std::pair<QString, QuickCopyButton::Content>> copies{
        {u"Timeline Only"_s, [this] { return m_export.timelineText(m_summary); }},
        {u"Tasks Only"_s, [this] { return m_export.byTaskText(m_summary); }},
        {u"Summary Only"_s, [this] { return m_export.summaryText(m_summary); }}};
    for (const auto& [title, content] : copies) {
        auto* button = new QuickCopyButton(title, content, put, section);
        m_quickCopies.insert(title, button);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return section;
}

QWidget* ExportView::buildAISection() {
    auto* section = new QWidget(this);
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    auto* title = row(4);
    title->addWidget(PopoverStyle::symbolLabel(u"sparkles"_s, 12, purple(palette()), section));
    title->addWidget(
        textLabel(u"AI Summary"_s, 12, QFont::DemiBold, PopoverStyle::secondaryText(palette()), section));
    title->addStretch(1);
    layout->addLayout(title);

    m_notConfigured = new QWidget(section);
    auto* notice = row(4);
    m_notConfigured->setLayout(notice);
    notice->addWidget(PopoverStyle::symbolLabel(u"dialog-warning"_s, 12, std::nullopt, m_notConfigured));
    auto* message = textLabel(u"Configure OpenAI API key in Settings > AI to use this feature"_s, 11,
                              QFont::Normal, PopoverStyle::secondaryText(palette()), m_notConfigured);
    message->setWordWrap(true);
    notice->addWidget(message, 1);
    layout->addWidget(m_notConfigured);

    m_configured = new QWidget(section);
    auto* configured = new QVBoxLayout(m_configured);
    configured->setContentsMargins(0, 0, 0, 0);
    configured->setSpacing(8);

    auto* actions = row(12);
    m_generate = new QPushButton(m_configured);
    m_generate->setAutoDefault(false);
    m_generate->setCursor(Qt::PointingHandCursor);
    m_generate->setStyleSheet(filledButtonStyle(purple(palette())));
    auto* label = new QHBoxLayout(m_generate);
    label->setContentsMargins(10, 6, 10, 6);
    label->setSpacing(4);
    m_generateSymbol = PopoverStyle::symbolLabel(u"sparkles"_s, 11, QColor(Qt::white), m_generate);
    m_generateProgress = new ProgressIndicator(PopoverStyle::symbolSize(11, this) * 6 / 10 + 4, m_generate);
    m_generateText = textLabel(QString(), 11, QFont::Normal, QColor(Qt::white), m_generate);
    for (QWidget* part : {static_cast<QWidget*>(m_generateSymbol), static_cast<QWidget*>(m_generateProgress),
                          static_cast<QWidget*>(m_generateText)}) {
        part->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->addWidget(part);
    }
    connect(m_generate, &QPushButton::clicked, this, &ExportView::generateAISummary);
    actions->addWidget(m_generate);
    m_copyAISummary = new QuickCopyButton(
        u"Copy AI Summary"_s, [this] { return m_aiSummary.value_or(QString()); },
        [this](const QString& text) { return putOnClipboard(text); }, m_configured);
    m_quickCopies.insert(m_copyAISummary->title(), m_copyAISummary);
    actions->addWidget(m_copyAISummary);
    actions->addStretch(1);
    configured->addLayout(actions);

    m_errorRow = new QWidget(m_configured);
    auto* error = row(4);
    m_errorRow->setLayout(error);
    error->addWidget(PopoverStyle::symbolLabel(u"dialog-error"_s, 11, std::nullopt, m_errorRow), 0,
                     Qt::AlignTop);
    m_errorText = textLabel(QString(), 11, QFont::Normal, PopoverStyle::red(palette()), m_errorRow);
    m_errorText->setWordWrap(true);
    m_errorText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    error->addWidget(m_errorText, 1);
    configured->addWidget(m_errorRow);

    m_summaryView = new QPlainTextEdit(m_configured);
    m_summaryView->setReadOnly(true);
    m_summaryView->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_summaryView->setFont(PopoverStyle::font(11));
    m_summaryView->setFrameShape(QFrame::NoFrame);
    m_summaryView->setMaximumHeight(120);
    // A run without blanks (a pasted address, a model gone astray) wraps anywhere rather than being
    // laid out as one endless line.
    m_summaryView->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_summaryView->setStyleSheet(
        u"QPlainTextEdit { background: %1; color: %2; border-radius: 6px; padding: 8px; }"_s.arg(
            PopoverStyle::withAlpha(purple(palette()), 0.1).name(QColor::HexArgb),
            palette().color(QPalette::Text).name(QColor::HexArgb)));
    configured->addWidget(m_summaryView);
    layout->addWidget(m_configured);
    return section;
}

void ExportView::setExportFormat(ExportFormat format) {
    if (QAbstractButton* button = formatButton(format)) {
        button->setChecked(true);
    }
    if (format == m_exportFormat) {
        return;
    }
    m_exportFormat = format;
    updatePreview();
}

QString ExportView::exportText() const {
    return m_export.exportText(m_exportFormat, m_summary);
}

void ExportView::copyAll() {
    if (m_showCopiedFeedback || !putOnClipboard(exportText())) {
        return;
    }
    m_showCopiedFeedback = true;
    updateCopyAll();
    m_copyAllFeedback.start();
}

void ExportView::generateAISummary() {
    if (m_isGeneratingAISummary) {
        return;
    }
    m_isGeneratingAISummary = true;
    m_aiError.reset();
    updateAISection();
    requestSummary();
}

void ExportView::requestSummary() {
    QString report = m_export.exportText(ExportFormat::markdown, m_summary);
    whenDone(
        m_openAI.summarize(std::move(report)), this,
        [this](QString summary) { showSummaryOutcome(std::move(summary), std::nullopt); },
        [this](const QString& failure) { showSummaryOutcome(std::nullopt, failure); });
}

void ExportView::showSummaryOutcome(std::optional<QString> summary, std::optional<QString> failure) {
    if (summary) {
        m_aiSummary = std::move(summary);
    } else {
        m_aiError = std::move(failure);
    }
    m_isGeneratingAISummary = false;
    updateAISection();
    Q_EMIT aiSummaryFinished();
}

void ExportView::checkConfiguration() {
    whenDone(
        m_openAI.isConfigured(), this,
        [this](bool configured) {
            m_isOpenAIConfigured = configured;
            updateAISection();
            Q_EMIT openAIConfigurationChecked(configured);
        },
        loggedAs(u"Checking the OpenAI key failed"_s, Log::Category::ui));
}

void ExportView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_configurationAsked) {
        m_configurationAsked = true;
        checkConfiguration();
    }
}

bool ExportView::putOnClipboard(const QString& text) {
    return m_clipboard->putText(text);
}

void ExportView::updatePreview() {
    m_preview->setPlainText(exportText());
}

void ExportView::updateCopyAll() {
    const QColor white(Qt::white);
    m_copyAll->setText(m_showCopiedFeedback ? u"Copied!"_s : u"Copy All"_s);
    m_copyAll->setIcon(QIcon(
        PopoverStyle::symbol(m_showCopiedFeedback ? u"object-select"_s : u"edit-copy"_s, 12, this, white)));
    m_copyAll->setEnabled(!m_showCopiedFeedback);
}

void ExportView::updateAISection() {
    m_notConfigured->setVisible(!m_isOpenAIConfigured);
    m_configured->setVisible(m_isOpenAIConfigured);
    m_generate->setEnabled(!m_isGeneratingAISummary);
    m_generateSymbol->setVisible(!m_isGeneratingAISummary);
    m_generateProgress->setVisible(m_isGeneratingAISummary);
    m_generateText->setText(m_isGeneratingAISummary ? u"Generating..."_s : u"Generate AI Summary"_s);
    // The label is a layout of its own inside the button, which the button's size hint does not see.
    m_generate->layout()->activate();
    m_generate->setFixedSize(m_generate->layout()->sizeHint());
    m_copyAISummary->setVisible(m_aiSummary.has_value());
    m_errorRow->setVisible(m_aiError.has_value());
    m_errorText->setText(m_aiError.value_or(QString()));
    m_summaryView->setVisible(m_aiSummary.has_value());
    if (m_aiSummary && m_summaryView->toPlainText() != *m_aiSummary) {
        m_summaryView->setPlainText(*m_aiSummary);
    }
}

QAbstractButton* ExportView::formatButton(ExportFormat format) const {
    return m_formats->button(int(format));
}

QuickCopyButton* ExportView::quickCopyButton(const QString& title) const {
    return m_quickCopies.value(title);
}

QString ExportView::generateButtonText() const {
    return m_generateText->text();
}
