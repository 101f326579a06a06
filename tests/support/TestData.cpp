#include "TestData.h"

#include <QFile>

QByteArray j(const char* text) {
    return QByteArray(text).replace('\'', '"');
}

QString onHeap(QStringView text) {
    return QString(text.data(), text.size());
}

QByteArray readTestFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("missing test file %s", qPrintable(path));
    }
    return file.readAll();
}

QString onHeap(const char* utf8) {
    return QString::fromUtf8(QByteArray(utf8));
}
