// The application's symbols come from its own drawings whatever icon theme the desktop has: under a
// theme that holds a full-colour square under every name (as Adwaita's legacy icons are full-colour
// pictures), no symbol, tinted or not, and no window of the popover or the settings shows the theme's
// icon, and every symbol the windows ask for has a drawing.
#include "support/AppRig.h"
#include "support/TestMain.h"

#include "app/PendlowApp.h"
#include "core/Log.h"
#include "ui/kit/AlertIcons.h"
#include "ui/menubar/FooterView.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/PopoverWindow.h"
#include "ui/settings/SettingsWindow.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

namespace {
const QColor themeColour(0x12, 0xe0, 0x7a);

// Pixels of the theme's colour in an image.
int themePixels(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const QColor pixel = rgb.pixelColor(x, y);
            count += pixel.alpha() > 200 && qAbs(pixel.red() - themeColour.red()) < 8 &&
                     qAbs(pixel.green() - themeColour.green()) < 8 &&
                     qAbs(pixel.blue() - themeColour.blue()) < 8;
        }
    }
    return count;
}

QStringList drawnNames() {
    QStringList names;
    for (const QString& file : QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")})) {
        names.append(file.chopped(4));
    }
    return names;
}
} // namespace

class OwnSymbolsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_themes;
    QStringList m_missing;

private Q_SLOTS:
    // A theme "blob" with a full square of one colour under every name the application draws.
    void initTestCase() {
        QVERIFY(m_themes.isValid());
        const QString root = m_themes.filePath(QStringLiteral("blob"));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/scalable")));
        QFile index(root + QStringLiteral("/index.theme"));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.write("[Icon Theme]\nName=blob\nDirectories=scalable\n\n"
                    "[scalable]\nSize=48\nMinSize=8\nMaxSize=512\nType=Scalable\n");
        index.close();
        const QByteArray square = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"24\" height=\"24\">"
                                  "<rect width=\"24\" height=\"24\" fill=\"" +
                                  themeColour.name().toLatin1() + "\"/></svg>";
        const QStringList names = drawnNames();
        QVERIFY(names.contains(QStringLiteral("mail-forward")));
        for (const QString& name : names) {
            QFile icon(root + QStringLiteral("/scalable/") + name + QStringLiteral(".svg"));
            QVERIFY(icon.open(QIODevice::WriteOnly));
            icon.write(square);
        }
        QIcon::setThemeSearchPaths({m_themes.path()});
        QIcon::setThemeName(QStringLiteral("blob"));
        // The fixture holds: the theme answers for the names.
        QCOMPARE(themePixels(QIcon::fromTheme(QStringLiteral("dialog-warning")).pixmap(16).toImage()),
                 16 * 16);
        Log::setSinkForTesting([this](Log::Level, Log::Category, const QString& line) {
            if (line.contains(QStringLiteral("No drawing"))) {
                m_missing.append(line);
            }
        });
    }

    void cleanupTestCase() { Log::setSinkForTesting({}); }

    // Every symbol, plain and tinted, is our drawing, pixel for pixel.
    void symbolsAreOurDrawings_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : drawnNames()) {
            QTest::newRow(qPrintable(name)) << name;
        }
    }
    void symbolsAreOurDrawings() {
        QFETCH(QString, name);
        const QImage drawn = QIcon(AlertIcons::resourcePath(name)).pixmap(QSize(24, 24), 1.0).toImage();
        const QImage plain = AlertIcons::pixmap(name, 24, 1.0).toImage();
        QCOMPARE(plain.convertToFormat(QImage::Format_ARGB32), drawn.convertToFormat(QImage::Format_ARGB32));
        // Tinted, the drawing's shape keeps its transparent background (a theme square would not).
        const QImage tinted = AlertIcons::pixmap(name, 24, 1.0, QColor(Qt::red)).toImage();
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                QCOMPARE(qAlpha(tinted.pixel(x, y)), qAlpha(drawn.pixel(x, y)));
            }
        }
    }

    void aNameWithoutDrawingGivesNothing() {
        QVERIFY(AlertIcons::icon(QStringLiteral("no-such-symbol")).isNull());
        QCOMPARE(m_missing.size(), 1);
        m_missing.clear();
    }

    // The popover and every settings tab: no pixel of the theme, no symbol without a drawing, and the
    // e-mail button has its icon.
    void windowsShowNoThemeIcon() {
        AppRig rig;
        std::unique_ptr<PendlowApp> app = rig.makeApp();
        MenuBarView* content = app->popover().content();
        content->resize(340, 600);
        QCOMPARE(themePixels(content->grab().toImage()), 0);
        auto* email = content->footerView()->findChild<QToolButton*>(QStringLiteral("emailForwardButton"));
        QVERIFY(email);
        QVERIFY(!email->icon().isNull());

        app->openSettings();
        SettingsWindow& settings = app->settingsWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&settings));
        for (int i = 0; i < settings.tabs()->count(); ++i) {
            settings.tabs()->setCurrentIndex(i);
            QVERIFY2(themePixels(settings.grab().toImage()) == 0, qPrintable(settings.tabs()->tabText(i)));
        }
        QVERIFY2(m_missing.isEmpty(), qPrintable(m_missing.join(QLatin1Char('\n'))));
    }
};

PENDLOW_TEST_MAIN(OwnSymbolsTest)
#include "tst_OwnSymbols.moc"
