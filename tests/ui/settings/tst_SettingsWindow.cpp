// The settings window: one fixed 500 x 500 window of the pages given, in their order; a page loads
// each time it is shown; opened again the window comes back, never a second one. The application
// builds it on first use with its pages and the popover footer's Settings opens it. The About page's
// texts.
#include "support/AppRig.h"
#include "support/TestMain.h"

#include "app/PendlowApp.h"
#include "core/Formatting.h"
#include "ui/menubar/FooterView.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/PopoverWindow.h"
#include "ui/settings/AboutTab.h"
#include "ui/settings/SettingsPage.h"
#include "ui/settings/SettingsWindow.h"

#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <memory>

namespace {
// A page that counts its loads.
class CountingPage : public SettingsPage {
public:
    explicit CountingPage(QString label)
        : m_label(std::move(label)) {}
    QString label() const override { return m_label; }
    QString iconName() const override { return QStringLiteral("folder"); }
    void load() override { ++loads; }
    int loads = 0;

private:
    QString m_label;
};

int settingsWindowCount() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        count += qobject_cast<SettingsWindow*>(widget) != nullptr;
    }
    return count;
}
} // namespace

class SettingsWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppRig> m_rig;

    std::unique_ptr<PendlowApp> makeApp() { return m_rig->makeApp(); }

private Q_SLOTS:
    void init() { m_rig = std::make_unique<AppRig>(); }

    void cleanup() { m_rig.reset(); }

    void pagesInOrderInAFixedWindow() {
        auto* first = new CountingPage(QStringLiteral("First"));
        auto* second = new CountingPage(QStringLiteral("Second"));
        auto* third = new CountingPage(QStringLiteral("Third"));
        SettingsWindow window({first, second, third});
        QCOMPARE(window.windowTitle(), QStringLiteral("Pendlow Settings"));
        QCOMPARE(window.tabs()->count(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(window.tabs()->tabText(i), window.pages().at(i)->label());
        }
        QCOMPARE(window.tabs()->tabText(2), QStringLiteral("Third"));
        QCOMPARE(window.minimumSize(), QSize(500, 500));
        QCOMPARE(window.maximumSize(), QSize(500, 500));
        // Nothing loads before the window is shown.
        QCOMPARE(first->loads + second->loads + third->loads, 0);

        window.present();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.size(), QSize(500, 500));
        QCOMPARE(first->loads, 1);
        QCOMPARE(second->loads, 0);
        // Each switch loads the page shown; the size stays.
        window.tabs()->setCurrentIndex(2);
        QCOMPARE(third->loads, 1);
        QCOMPARE(window.size(), QSize(500, 500));
        window.tabs()->setCurrentIndex(0);
        QCOMPARE(first->loads, 2);
        QVERIFY(window.showPage(QStringLiteral("Second")));
        QCOMPARE(second->loads, 1);
        QVERIFY(!window.showPage(QStringLiteral("Nowhere")));
        // Closed and opened again, the page shown loads again.
        window.close();
        window.present();
        QCOMPARE(second->loads, 2);
        QCOMPARE(first->loads, 2);
    }

    void openedAgainItComesBackNotTwice() {
        auto* page = new CountingPage(QStringLiteral("Only"));
        SettingsWindow window({page});
        window.present();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Open already: shown, not loaded again (unsaved edits stay).
        window.present();
        QCOMPARE(page->loads, 1);
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        window.present();
        QTRY_VERIFY(!window.isMinimized());
        QVERIFY(window.isVisible());
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(settingsWindowCount(), 1);
    }

    // The application builds the window on first use, with its pages in order, and the footer's
    // Settings opens that one window every time.
    void footerSettingsOpensTheOneWindow() {
        auto app = makeApp();
        QCOMPARE(settingsWindowCount(), 0);
        QToolButton* settings =
            app->popover().content()->footerView()->findChild<QToolButton*>(QStringLiteral("settingsButton"));
        QVERIFY(settings);
        QVERIFY(settings->isEnabled());
        settings->click();
        QCOMPARE(settingsWindowCount(), 1);
        SettingsWindow& window = app->settingsWindow();
        QTRY_VERIFY(window.isVisible());
        QStringList labels;
        for (SettingsPage* page : window.pages()) {
            labels.append(page->label());
        }
        QCOMPARE(labels.mid(0, 3), (QStringList{"ClickUp", "Timesheet", "Alerts"}));
        QCOMPARE(labels.constLast(), QStringLiteral("About"));
        QCOMPARE(window.currentPage()->label(), QStringLiteral("ClickUp"));
        // All seven labels in view at the window's size, whole, in the design font, no scroll arrows.
        QCOMPARE(labels.size(), 7);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTabBar* bar = window.tabs()->tabBar();
        QCOMPARE(bar->font().pixelSize(), 13);
        QVERIFY(window.width() >= 500);
        QCOMPARE(window.minimumWidth(), window.maximumWidth());
        const QRect barArea(bar->mapTo(&window, QPoint(0, 0)), bar->size());
        for (int i = 0; i < bar->count(); ++i) {
            const QRect tab = bar->tabRect(i);
            QVERIFY2(barArea.contains(tab.translated(barArea.topLeft())) && tab.right() < window.width(),
                     qPrintable(bar->tabText(i)));
        }
        // Each tab at its full size: the bar is as wide as all of them need.
        QVERIFY(bar->width() >= bar->sizeHint().width());
        for (const QToolButton* arrow : bar->findChildren<QToolButton*>()) {
            QVERIFY(!arrow->isVisible());
        }

        window.close();
        settings->click();
        app->openSettings();
        QCOMPARE(settingsWindowCount(), 1);
        QCOMPARE(&app->settingsWindow(), &window);
        QTRY_VERIFY(window.isVisible());
        app.reset();
        QCOMPARE(settingsWindowCount(), 0);
    }

    void aboutTexts() {
        AboutTab about;
        QCOMPARE(about.label(), QStringLiteral("About"));
        auto text = [&about](const char* name) {
            return about.findChild<QLabel*>(QString::fromLatin1(name))->text();
        };
        QCOMPARE(text("aboutName"), QStringLiteral("Pendlow"));
        QCOMPARE(text("aboutVersion"), QStringLiteral("Version ") + appVersion());
        QCOMPARE(AboutTab::versionText(), QStringLiteral("Version ") + appVersion());
        QCOMPARE(text("aboutTagline"), QStringLiteral("A native Linux tray app for ClickUp time tracking"));
        QCOMPARE(text("aboutCredit"), AboutTab::creditLine);
        QVERIFY(text("aboutLink").contains(AboutTab::makerUrl.toString()));
        // The link opens the maker's page through the opener (the default browser unless set).
        QList<QUrl> opened;
        about.setUrlOpener([&opened](const QUrl& url) { opened.append(url); });
        QLabel* link = about.findChild<QLabel*>(QStringLiteral("aboutLink"));
        emit link->linkActivated(AboutTab::makerUrl.toString());
        QCOMPARE(opened, QList<QUrl>{AboutTab::makerUrl});
        // A build without a version shows 1.0.0.
        QCOMPARE(appVersion(""), QStringLiteral("1.0.0"));
    }
};

PENDLOW_TEST_MAIN(SettingsWindowTest)
#include "tst_SettingsWindow.moc"
