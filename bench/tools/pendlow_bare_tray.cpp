// The floor the tray process is measured against: a bare Qt 6 tray icon (a 22 px orange disc) whose
// tooltip is set to the time once a second, and nothing else.
//   pendlow-bare-tray
#include <QApplication>
#include <QDateTime>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

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
    return QApplication::exec();
}
