#pragma once

#include <QList>
#include <QWidget>

class QTabWidget;
class SettingsPage;

// The settings window: one window of a fixed size holding the pages it is given as tabs, in that
// order, each under its label and icon, every tab in view: 500 x 500, wider when the tab labels in the
// design font need more. Every time a page is shown (the window opened on it,
// or the user switched to it) the window calls its load(). The window owns the pages.
class SettingsWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int side = 500;
    static inline const QString title = QStringLiteral("Pendlow Settings");

    explicit SettingsWindow(QList<SettingsPage*> pages, QWidget* parent = nullptr);

    const QList<SettingsPage*>& pages() const { return m_pages; }
    QTabWidget* tabs() const { return m_tabs; }
    SettingsPage* currentPage() const;
    // The width the tab bar needs to show every tab whole.
    int tabsWidth() const;
    // Shows the page with this label; false when there is none.
    bool showPage(const QString& label);

    // Shows the window, or brings it back when it is open already (restored when minimised, raised
    // and given the focus): there is only ever this one.
    void present();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadCurrentPage();

    QList<SettingsPage*> m_pages;
    QTabWidget* m_tabs;
};
