#include "ui/settings/SettingsWindow.h"

#include "ui/kit/PopoverStyle.h"
#include "ui/settings/SettingsPage.h"

#include <QIcon>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr qreal tabIconSize = 14;
constexpr qreal tabFontSize = 13;
} // namespace

SettingsWindow::SettingsWindow(QList<SettingsPage*> pages, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_pages(std::move(pages))
    , m_tabs(new QTabWidget(this)) {
    setObjectName(QStringLiteral("settingsWindow"));
    setWindowTitle(title);
    setWindowIcon(QIcon(QStringLiteral(":/icons/pendlow.svg")));
    m_tabs->setObjectName(QStringLiteral("settingsTabs"));
    m_tabs->setDocumentMode(true);
    // Every tab in view: no scroll arrows, no shortened labels.
    QTabBar* bar = m_tabs->tabBar();
    bar->setFont(PopoverStyle::font(tabFontSize));
    bar->setUsesScrollButtons(false);
    bar->setElideMode(Qt::ElideNone);
    bar->setExpanding(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    for (SettingsPage* page : std::as_const(m_pages)) {
        const QPixmap icon = PopoverStyle::symbol(page->iconName(), tabIconSize, this);
        m_tabs->addTab(page, icon.isNull() ? QIcon() : QIcon(icon), page->label());
    }
    setFixedSize(std::max(side, tabsWidth()), side);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        if (isVisible()) {
            loadCurrentPage();
        }
    });
}

int SettingsWindow::tabsWidth() const {
    // Without scroll arrows the bar's size hint is every tab at its full size, side by side.
    return m_tabs->tabBar()->sizeHint().width();
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
