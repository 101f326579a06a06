// Saves what a window shows on the X display as a PNG, for the screenshot scripts.
//   pendlow-grab-window <window id> <file.png>
// The id is an X window id as xwininfo prints it (0x...).
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    bool ok = false;
    const WId window = args.value(1).toULongLong(&ok, 0);
    if (args.size() != 3 || !ok) {
        std::fputs("usage: pendlow-grab-window <window id> <file.png>\n", stderr);
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap shot = screen ? screen->grabWindow(window) : QPixmap();
    if (shot.isNull() || !shot.save(args.at(2), "PNG")) {
        std::fprintf(stderr, "cannot grab window %s into %s\n", qPrintable(args.at(1)),
                     qPrintable(args.at(2)));
        return 1;
    }
    return 0;
}
