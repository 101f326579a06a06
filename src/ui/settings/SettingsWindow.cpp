#include "ui/settings/SettingsWindow.h"

#include "ui/kit/PopoverStyle.h"
#include "ui/settings/SettingsPage.h"

#include <QIcon>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr qreal tabIconSize = 14;
}

SettingsWindow::SettingsWindow(QList<SettingsPage*> pages, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_pages(std::move(pages))
    , m_tabs(new QTabWidget(this)) {
    setObjectName(QStringLiteral("settingsWindow"));
    setWindowTitle(title);
    setWindowIcon(QIcon(QStringLiteral(":/icons/pendlow.svg")));
    setFixedSize(side, side);
    m_tabs->setObjectName(QStringLiteral("settingsTabs"));
    m_tabs->setDocumentMode(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    for (SettingsPage* page : std::as_const(m_pages)) {
        const QPixmap icon = PopoverStyle::symbol(page->iconName(), tabIconSize, this);
        m_tabs->addTab(page, icon.isNull() ? QIcon() : QIcon(icon), page->label());
    }
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        if (isVisible()) {
            loadCurrentPage();
        }
    });
}

SettingsPage* SettingsWindow::currentPage() const {
    return qobject_cast<SettingsPage*>(m_tabs->currentWidget());
}

bool SettingsWindow::showPage(const QString& label) {
    for (SettingsPage* page : std::as_const(m_pages)) {
        if (page->label() == label) {
            m_tabs->setCurrentWidget(page);
            return true;
        }
    }
    return false;
}

void SettingsWindow::present() {
    if (isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
    show();
    raise();
    activateWindow();
}

void SettingsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Opening the window shows its current page; a spontaneous show (the desktop restoring it)
    // shows nothing new.
    if (!event->spontaneous()) {
        loadCurrentPage();
    }
}

void SettingsWindow::loadCurrentPage() {
    if (SettingsPage* page = currentPage()) {
        page->load();
    }
}
