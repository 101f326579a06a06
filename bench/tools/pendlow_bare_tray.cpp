// The floor the tray process is measured against: what any Qt Widgets tray application costs. A bare
// Qt 6 tray icon (a 22 px orange disc) whose tooltip is set to the time once a second, and a 340 px
// wide window built on the first click on the icon; a click shows it under the icon, the next hides it.
//   pendlow-bare-tray
#include <QApplication>
#include <QDateTime>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

namespace {
constexpr int windowWidth = 340;
constexpr int windowHeight = 420;

std::unique_ptr<QWidget> buildWindow() {
    auto window = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    window->setFixedSize(windowWidth, windowHeight);
    auto* layout = new QVBoxLayout(window.get());
    layout->addWidget(new QLabel(QStringLiteral("Bare tray")));
    layout->addStretch();
    return window;
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QImage disc(22, 22, QImage::Format_ARGB32_Premultiplied);
    disc.fill(Qt::transparent);
    {
        QPainter painter(&disc);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xff, 0x95, 0x00));
        painter.drawEllipse(QRectF(2, 2, 18, 18));
    }
    QSystemTrayIcon tray(QIcon(QPixmap::fromImage(disc)));
    tray.setToolTip(QStringLiteral("bare"));
    tray.show();
    QTimer clock;
    clock.setInterval(1000);
    QObject::connect(&clock, &QTimer::timeout, &tray, [&tray] {
        tray.setToolTip(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss")));
    });
    clock.start();

    std::unique_ptr<QWidget> window;
    QObject::connect(&tray, &QSystemTrayIcon::activated, &tray, [&](QSystemTrayIcon::ActivationReason) {
        if (!window) {
            window = buildWindow();
        }
        if (window->isVisible()) {
            window->hide();
            return;
        }
        const QRect icon = tray.geometry();
        QRect place(QPoint(icon.center().x() - windowWidth / 2, icon.bottom() + 4), window->size());
        if (const QScreen* screen = QGuiApplication::screenAt(icon.center())) {
            const QRect available = screen->availableGeometry();
            place.moveLeft(std::clamp(place.left(), available.left(), available.right() - windowWidth));
        }
        window->move(place.topLeft());
        window->show();
    });
    return QApplication::exec();
}
