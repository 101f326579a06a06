#include "ui/settings/LogWindow.h"

#include "platform/RecentLogReader.h"
#include "ui/kit/PopoverStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

LogWindow::LogWindow(Reader reader, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_reader(reader ? std::move(reader) : Reader([] { return RecentLogReader::read(); }))
    , m_source(new QLabel(this))
    , m_text(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("logWindow"));
    setWindowTitle(QStringLiteral("Pendlow Log"));
    resize(760, 480);

    auto* layout = new QVBoxLayout(this);
    auto* header = new QHBoxLayout;
    m_source->setObjectName(QStringLiteral("logSource"));
    m_source->setFont(PopoverStyle::font(11));
    m_source->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_source->setWordWrap(true);
    PopoverStyle::setTextColor(m_source, PopoverStyle::secondaryText(palette()));
    auto* reloadButton = new QPushButton(QStringLiteral("Reload"), this);
    reloadButton->setObjectName(QStringLiteral("reloadButton"));
    connect(reloadButton, &QPushButton::clicked, this, &LogWindow::reload);
    header->addWidget(m_source, 1);
    header->addWidget(reloadButton);
    layout->addLayout(header);

    m_text->setObjectName(QStringLiteral("logText"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(PopoverStyle::monospacedFont(11));
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(m_text, 1);
}

void LogWindow::reload() {
    const LogExcerpt excerpt = m_reader();
    m_source->setText(excerpt.source);
    if (!excerpt.problem.isEmpty()) {
        m_text->setPlainText(excerpt.problem);
    } else if (excerpt.lines.isEmpty()) {
        m_text->setPlainText(QStringLiteral("Pendlow has logged nothing here yet."));
    } else {
        m_text->setPlainText(excerpt.lines.join(u'\n'));
    }
    m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
}

void LogWindow::present() {
    reload();
    show();
    raise();
    activateWindow();
}

QString LogWindow::sourceText() const {
    return m_source->text();
}

QString LogWindow::logText() const {
    return m_text->toPlainText();
}
