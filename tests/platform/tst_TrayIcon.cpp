// The tray item over its two kinds of tray: a StatusNotifierItem registered with a fake
// StatusNotifierWatcher on a bus of the test's own (what it publishes, the change signals, clicks,
// the watcher coming and going), and an XEmbed icon in the session's tray host.
#include "support/PrivateDBus.h"
#include "support/TestMain.h"

#include "platform/StatusNotifierIconPixmap.h"
#include "platform/StatusNotifierItem.h"
#include "platform/StatusNotifierToolTip.h"
#include "platform/TrayIcon.h"
#include "platform/XEmbedTrayIcon.h"

#include <QCursor>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QSet>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTextDocument>

#include <memory>

namespace {
const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");

QImage solidImage(int size, QRgb argb) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(argb);
    return image;
}
} // namespace

// The desktop side: records which items register.
class FakeStatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

    QStringList registrations;

public Q_SLOTS:
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString& service) { registrations.append(service); }
    Q_SCRIPTABLE void RegisterStatusNotifierHost(const QString&) {}
};

// Counts the item's change signals as a tray receives them.
class SignalRelay : public QObject {
    Q_OBJECT

public:
    QList<QStringList> labels;
    int icons = 0;
    int toolTips = 0;

public Q_SLOTS:
    void onLabel(const QString& label, const QString& guide) { labels.append({label, guide}); }
    void onIcon() { ++icons; }
    void onToolTip() { ++toolTips; }
};

class TrayIconTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateDBus> m_bus;
    int m_connections = 0;
    QDBusConnection m_desktop{QString()};
    std::unique_ptr<FakeStatusNotifierWatcher> m_watcher;

    QDBusConnection newConnection() {
        return m_bus->connect(QStringLiteral("tray-test-%1").arg(++m_connections));
    }

    void startWatcher() {
        m_watcher = std::make_unique<FakeStatusNotifierWatcher>();
        const auto exported = QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportAllProperties;
        QVERIFY(m_desktop.registerObject(StatusNotifierItem::watcherPath, m_watcher.get(), exported));
        QVERIFY(m_desktop.registerService(StatusNotifierItem::watcherService));
    }

    void stopWatcher() {
        QVERIFY(m_desktop.unregisterService(StatusNotifierItem::watcherService));
        m_desktop.unregisterObject(StatusNotifierItem::watcherPath);
        m_watcher.reset();
    }

    // A call from the desktop's side, answered while the event loop runs (the item lives here too).
    QDBusMessage call(const QString& service, const QString& interface, const QString& method,
                      const QVariantList& arguments) {
        QDBusMessage message =
            QDBusMessage::createMethodCall(service, StatusNotifierItem::itemPath, interface, method);
        message.setArguments(arguments);
        QDBusPendingCall pending = m_desktop.asyncCall(message, 5000);
        QDBusPendingCallWatcher watcher(pending);
        QSignalSpy finished(&watcher, &QDBusPendingCallWatcher::finished);
        finished.wait(5000);
        return pending.reply();
    }

    QVariant property(const QString& service, const QString& name) {
        const QDBusMessage reply = call(service, QStringLiteral("org.freedesktop.DBus.Properties"),
                                        QStringLiteral("Get"), {itemInterface, name});
        if (reply.type() != QDBusMessage::ReplyMessage) {
            return {};
        }
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }

    template <typename T>
    T demarshalled(const QVariant& value) {
        T result{};
        value.value<QDBusArgument>() >> result;
        return result;
    }

    StatusNotifierItem& itemOf(TrayIcon& tray) { return static_cast<StatusNotifierItem&>(tray.backend()); }

private Q_SLOTS:
    void init() {
        m_bus = std::make_unique<PrivateDBus>();
        QVERIFY(m_bus->isRunning());
        m_desktop = newConnection();
        QVERIFY(m_desktop.isConnected());
    }

    void cleanup() {
        m_watcher.reset();
        m_bus.reset();
    }

    void iconPixelsTravelAsARGBInNetworkOrder() {
        QImage image(2, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(0x11, 0x22, 0x33, 0x80));
        image.setPixel(1, 0, qRgba(0xff, 0x95, 0x00, 0xff));
        const StatusNotifierIconPixmap pixmap = StatusNotifierIconPixmap::fromImage(image);
        QCOMPARE(pixmap.width, 2);
        QCOMPARE(pixmap.height, 1);
        QCOMPARE(pixmap.bytes.toHex(), QByteArray("80112233ffff9500"));
        QCOMPARE(pixmap.toImage(), image);
        // Premultiplied images are sent as plain ARGB.
        QImage premultiplied(1, 1, QImage::Format_ARGB32_Premultiplied);
        premultiplied.setPixel(0, 0, qPremultiply(qRgba(0xff, 0, 0, 0x80)));
        QCOMPARE(StatusNotifierIconPixmap::fromImage(premultiplied).bytes.toHex(), QByteArray("80ff0000"));
        const StatusNotifierIconPixmap truncated{3, 3, QByteArray(5, 0)};
        QVERIFY(truncated.toImage().isNull());
    }

    void itemRegistersAndPublishesIconLabelAndToolTip() {
        startWatcher();
        TrayIcon tray(newConnection());
        QCOMPARE(tray.kind(), TrayBackend::Kind::statusNotifierItem);
        const QString service = itemOf(tray).serviceName();
        QVERIFY(service.startsWith(
            QStringLiteral("org.kde.StatusNotifierItem-%1-").arg(QCoreApplication::applicationPid())));

        tray.setIcon({solidImage(16, 0xffff0000), solidImage(22, 0xff00ff00)});
        tray.setLabel(QStringLiteral("⏺ 01:05 │ Implement the logi"),
                      QStringLiteral("⏺ 00:00 │ guide"));
        tray.setToolTip(QStringLiteral("⏺ 01:05 │ Implement the logi"));
        QVERIFY(m_watcher->registrations.isEmpty()); // not before show()
        QSignalSpy shown(&tray, &TrayIcon::shownChanged);
        tray.show();
        QTRY_VERIFY(tray.isShown());
        QCOMPARE(shown.count(), 1);
        QCOMPARE(m_watcher->registrations, QStringList{service});

        QCOMPARE(property(service, QStringLiteral("XAyatanaLabel")).toString(),
                 QStringLiteral("⏺ 01:05 │ Implement the logi"));
        QCOMPARE(property(service, QStringLiteral("XAyatanaLabelGuide")).toString(),
                 QStringLiteral("⏺ 00:00 │ guide"));
        const auto pixmaps =
            demarshalled<StatusNotifierIconPixmapList>(property(service, QStringLiteral("IconPixmap")));
        QCOMPARE(pixmaps.size(), 2);
        QCOMPARE(pixmaps.at(1).width, 22);
        QCOMPARE(pixmaps.at(1).toImage().pixel(3, 3), 0xff00ff00u);
        const auto toolTip =
            demarshalled<StatusNotifierToolTip>(property(service, QStringLiteral("ToolTip")));
        QCOMPARE(toolTip.title, QStringLiteral("⏺ 01:05 │ Implement the logi"));
        QCOMPARE(property(service, QStringLiteral("Status")).toString(), QStringLiteral("Active"));
        QCOMPARE(property(service, QStringLiteral("Category")).toString(),
                 QStringLiteral("ApplicationStatus"));
        QCOMPARE(property(service, QStringLiteral("ItemIsMenu")).toBool(), false);

        // Trays read everything at once.
        const QDBusMessage all = call(service, QStringLiteral("org.freedesktop.DBus.Properties"),
                                      QStringLiteral("GetAll"), {itemInterface});
        QCOMPARE(all.type(), QDBusMessage::ReplyMessage);
        const QVariantMap map = demarshalled<QVariantMap>(all.arguments().value(0));
        for (const char* name :
             {"Id", "Title", "IconName", "IconPixmap", "ToolTip", "Menu", "XAyatanaLabel"}) {
            QVERIFY2(map.contains(QLatin1String(name)), name);
        }
    }

    void changesAreSignalledOnce() {
        startWatcher();
        TrayIcon tray(newConnection());
        tray.show();
        QTRY_VERIFY(tray.isShown());
        const QString service = itemOf(tray).serviceName();

        SignalRelay relay;
        QVERIFY(m_desktop.connect(service, StatusNotifierItem::itemPath, itemInterface,
                                  QStringLiteral("XAyatanaNewLabel"), &relay,
                                  SLOT(onLabel(QString, QString))));
        QVERIFY(m_desktop.connect(service, StatusNotifierItem::itemPath, itemInterface,
                                  QStringLiteral("NewIcon"), &relay, SLOT(onIcon())));
        QVERIFY(m_desktop.connect(service, StatusNotifierItem::itemPath, itemInterface,
                                  QStringLiteral("NewToolTip"), &relay, SLOT(onToolTip())));

        tray.setLabel(QStringLiteral("01:30"), QStringLiteral("01:30"));
        tray.setIcon({solidImage(16, 0xffff9500)});
        tray.setToolTip(QStringLiteral("01:30"));
        QTRY_COMPARE(relay.labels.size(), 1);
        QTRY_COMPARE(relay.icons, 1);
        QTRY_COMPARE(relay.toolTips, 1);
        QCOMPARE(relay.labels.constFirst(), QStringList({QStringLiteral("01:30"), QStringLiteral("01:30")}));

        // The same values again: nothing to tell.
        tray.setLabel(QStringLiteral("01:30"), QStringLiteral("01:30"));
        tray.setIcon({solidImage(16, 0xffff9500)});
        tray.setToolTip(QStringLiteral("01:30"));
        QTest::qWait(100);
        QCOMPARE(relay.labels.size(), 1);
        QCOMPARE(relay.icons, 1);
        QCOMPARE(relay.toolTips, 1);
    }

    void pulseFramesReachTheTrayOnlyWhenNew() {
        startWatcher();
        TrayIcon tray(newConnection());
        tray.show();
        QTRY_VERIFY(tray.isShown());
        StatusNotifierItem& item = itemOf(tray);
        SignalRelay relay;
        QVERIFY(m_desktop.connect(item.serviceName(), StatusNotifierItem::itemPath, itemInterface,
                                  QStringLiteral("NewIcon"), &relay, SLOT(onIcon())));

        // Three periods of a three-frame pulse, each frame set twice in a row (a redraw between
        // frames): one signal per change of frame.
        QList<QList<QImage>> frames;
        for (QRgb argb : {0xffff9500u, 0xb3ff9500u, 0x66ff9500u}) {
            frames.append({solidImage(16, argb), solidImage(22, argb)});
        }
        for (int period = 0; period < 3; ++period) {
            for (const QList<QImage>& frame : frames) {
                tray.setIcon(frame);
                tray.setIcon(frame);
            }
        }
        QTRY_COMPARE(relay.icons, 9);
        // The last frame drawn anew (other image objects, the same pixels): nothing to tell.
        tray.setIcon({solidImage(16, 0x66ff9500u), solidImage(22, 0x66ff9500u)});
        QTest::qWait(100);
        QCOMPARE(relay.icons, 9);
        QCOMPARE(item.iconPixmap().at(1).toImage().pixel(0, 0), 0x66ff9500u);

        // However many icons come, the converted ones kept stay few.
        for (uint i = 1; i <= 60; ++i) {
            tray.setIcon({solidImage(16, 0xff000000u | i)});
            QVERIFY(item.cachedIconCount() <= StatusNotifierItem::iconCacheCapacity);
        }
        QTRY_COMPARE(relay.icons, 69);
        QCOMPARE(item.iconPixmap().constFirst().toImage().pixel(0, 0), 0xff00003cu);
    }

    void xembedKeepsOneIconPerFrame() {
        XEmbedTrayIcon item;
        QList<QList<QImage>> frames;
        for (QRgb argb : {0xffff9500u, 0xb3ff9500u, 0x66ff9500u}) {
            frames.append({solidImage(16, argb), solidImage(22, argb)});
        }
        QList<qint64> icons;
        for (const QList<QImage>& frame : frames) {
            item.setIcon(frame);
            icons.append(item.systemTrayIcon().icon().cacheKey());
        }
        QCOMPARE(QSet<qint64>(icons.begin(), icons.end()).size(), 3);
        // Every later period shows the very icon objects of the first.
        for (int period = 0; period < 20; ++period) {
            for (qsizetype i = 0; i < frames.size(); ++i) {
                item.setIcon(frames.at(i));
                QCOMPARE(item.systemTrayIcon().icon().cacheKey(), icons.at(i));
            }
        }
        QCOMPARE(item.cachedIconCount(), 3);
        for (uint i = 1; i <= 40; ++i) {
            item.setIcon({solidImage(16, 0xff000000u | i)});
        }
        QCOMPARE(item.cachedIconCount(), XEmbedTrayIcon::iconCacheCapacity);
    }

    void clicksComeOutWithTheirPoint_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("atCursor");
        QTest::newRow("activate") << QStringLiteral("Activate") << QPoint(1700, 12) << false;
        QTest::newRow("context menu") << QStringLiteral("ContextMenu") << QPoint(1650, 20) << false;
        QTest::newRow("no point given") << QStringLiteral("Activate") << QPoint(0, 0) << true;
    }

    void clicksComeOutWithTheirPoint() {
        QFETCH(QString, method);
        QFETCH(QPoint, point);
        QFETCH(bool, atCursor);
        startWatcher();
        TrayIcon tray(newConnection());
        tray.show();
        QTRY_VERIFY(tray.isShown());
        QSignalSpy activated(&tray, &TrayIcon::activated);
        const QDBusMessage reply =
            call(itemOf(tray).serviceName(), itemInterface, method, {point.x(), point.y()});
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE(activated.count(), 1);
        const QRect anchor = activated.constFirst().constFirst().toRect();
        QCOMPARE(anchor.size(), QSize(1, 1));
        QCOMPARE(anchor.topLeft(), atCursor ? QCursor::pos() : point);
    }

    void itemFollowsTheWatcher() {
        TrayIcon tray(newConnection());
        QCOMPARE(tray.kind(), TrayBackend::Kind::xembed);
        tray.setLabel(QStringLiteral("00:45"), QStringLiteral("00:45"));
        tray.setToolTip(QStringLiteral("00:45"));
        tray.setIcon({solidImage(22, 0xff000000)});
        tray.show();

        QSignalSpy kinds(&tray, &TrayIcon::kindChanged);
        startWatcher();
        QTRY_COMPARE(tray.kind(), TrayBackend::Kind::statusNotifierItem);
        QTRY_VERIFY(tray.isShown());
        const QString first = itemOf(tray).serviceName();
        QCOMPARE(m_watcher->registrations, QStringList{first});
        QCOMPARE(property(first, QStringLiteral("XAyatanaLabel")).toString(), QStringLiteral("00:45"));

        // The desktop shell restarts: the item falls back, then moves to the new watcher.
        stopWatcher();
        QTRY_COMPARE(tray.kind(), TrayBackend::Kind::xembed);
        startWatcher();
        QTRY_COMPARE(tray.kind(), TrayBackend::Kind::statusNotifierItem);
        QTRY_VERIFY(tray.isShown());
        const QString second = itemOf(tray).serviceName();
        QCOMPARE(m_watcher->registrations, QStringList{second});
        QCOMPARE(property(second, QStringLiteral("XAyatanaLabel")).toString(), QStringLiteral("00:45"));
        QCOMPARE(
            demarshalled<StatusNotifierIconPixmapList>(property(second, QStringLiteral("IconPixmap"))).size(),
            1);
        QCOMPARE(kinds.count(), 3);
        // The first item has left the bus.
        QVERIFY(!m_desktop.interface()->isServiceRegistered(first).value());
    }

    void aWatcherTakingOverTheNameGetsTheItem() {
        m_watcher = std::make_unique<FakeStatusNotifierWatcher>();
        const auto exported = QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportAllProperties;
        QVERIFY(m_desktop.registerObject(StatusNotifierItem::watcherPath, m_watcher.get(), exported));
        QCOMPARE(m_desktop.interface()
                     ->registerService(StatusNotifierItem::watcherService,
                                       QDBusConnectionInterface::QueueService,
                                       QDBusConnectionInterface::AllowReplacement)
                     .value(),
                 QDBusConnectionInterface::ServiceRegistered);
        TrayIcon tray(newConnection());
        tray.show();
        QTRY_VERIFY(tray.isShown());

        // Another watcher replaces the first one without a moment's gap.
        FakeStatusNotifierWatcher successor;
        QDBusConnection next = newConnection();
        QVERIFY(next.registerObject(StatusNotifierItem::watcherPath, &successor, exported));
        QCOMPARE(next.interface()
                     ->registerService(StatusNotifierItem::watcherService,
                                       QDBusConnectionInterface::ReplaceExistingService)
                     .value(),
                 QDBusConnectionInterface::ServiceRegistered);
        QTRY_COMPARE(successor.registrations, QStringList{itemOf(tray).serviceName()});
        QTRY_VERIFY(tray.isShown());
        QCOMPARE(tray.kind(), TrayBackend::Kind::statusNotifierItem);
    }

    // A task name shows as written in both trays: hosts read the item's tooltip as markup, Qt reads
    // a rich-looking XEmbed tooltip as HTML.
    void toolTipIsPlainText_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("tags") << QStringLiteral("⏺ 01:05 │ <b>Fix</b> the <img src=x> row");
        QTest::newRow("ampersand and entity") << QStringLiteral("R&D: &amp; < 3 items");
        QTest::newRow("markup of a whole line") << QStringLiteral("<i>draft</i>");
        QTest::newRow("plain") << QStringLiteral("⏺ 01:05 │ Implement the login");
    }
    void toolTipIsPlainText() {
        QFETCH(QString, text);
        startWatcher();
        TrayIcon tray(newConnection());
        tray.setToolTip(text);
        tray.show();
        QTRY_VERIFY(tray.isShown());
        const auto toolTip = demarshalled<StatusNotifierToolTip>(
            property(itemOf(tray).serviceName(), QStringLiteral("ToolTip")));
        QTextDocument markup;
        markup.setHtml(toolTip.title);
        QCOMPARE(markup.toPlainText(), text);
        QVERIFY(!toolTip.title.contains(QLatin1Char('<')));

        const QString xembed = XEmbedTrayIcon::plainToolTip(text);
        if (Qt::mightBeRichText(xembed)) {
            QTextDocument shown;
            shown.setHtml(xembed);
            QCOMPARE(shown.toPlainText(), text);
        } else {
            QCOMPARE(xembed, text);
        }
    }

    void xembedIconIsEmbeddedAndClickable() {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            QSKIP("needs an X display with a tray host");
        }
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 5000);
        TrayIcon tray(newConnection()); // no watcher on this bus
        QCOMPARE(tray.kind(), TrayBackend::Kind::xembed);
        tray.setIcon({solidImage(22, 0xffff3b30)});
        tray.setLabel(QStringLiteral("⏺ 00:01 │ Task"));
        tray.setToolTip(QStringLiteral("⏺ 00:01 │ Task"));
        tray.show();
        QVERIFY(tray.isShown());
        auto& backend = static_cast<XEmbedTrayIcon&>(tray.backend());
        QCOMPARE(backend.systemTrayIcon().toolTip(), QStringLiteral("⏺ 00:01 │ Task"));
        QTRY_VERIFY_WITH_TIMEOUT(tray.backend().geometry().isValid(), 5000);
        QCOMPARE(tray.anchor(), tray.backend().geometry());

        QWidget* iconWidget = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->geometry().size() == tray.backend().geometry().size() &&
                QByteArray(widget->metaObject()->className()).contains("SystemTray")) {
                iconWidget = widget;
            }
        }
        QVERIFY(iconWidget);
        QSignalSpy activated(&tray, &TrayIcon::activated);
        QTest::mouseClick(iconWidget, Qt::LeftButton, {}, iconWidget->rect().center());
        QTRY_COMPARE(activated.count(), 1);
        QCOMPARE(activated.constFirst().constFirst().toRect(), tray.backend().geometry());
    }
};

PENDLOW_TEST_MAIN(TrayIconTest)
#include "tst_TrayIcon.moc"
