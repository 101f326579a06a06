// Freed heap goes back to the system: blocks freed between blocks still in use (so that free()
// alone cannot shrink the heap from its top) stay resident until the heap is trimmed.
#include "support/TestMain.h"

#include "platform/HeapTrim.h"

#include <QByteArray>
#include <QFile>
#include <QList>

namespace {
// The anonymous part of the resident memory, in kB.
qint64 anonymousKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("RssAnon:")) {
            return line.mid(8).trimmed().split(' ').first().toLongLong();
        }
    }
    return -1;
}
} // namespace

class HeapTrimTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void givesFreedHeapBack() {
#if defined(PENDLOW_TEST_SANITIZED)
        QSKIP("the sanitizers' allocator keeps freed memory itself");
#endif
        HeapTrim::releaseFreeMemory();
        // 16 MB in blocks small enough to come from the heap, not from mappings of their own.
        constexpr int blockCount = 512;
        constexpr qsizetype blockSize = 32 * 1024;
        QList<QByteArray> blocks;
        blocks.reserve(blockCount);
        for (int i = 0; i < blockCount; ++i) {
            blocks.append(QByteArray(blockSize, char('a' + i % 26)));
        }
        // Every sixteenth block stays.
        for (int i = 0; i < blockCount; ++i) {
            if (i % 16 != 0) {
                blocks[i] = QByteArray();
            }
        }
        const qint64 afterFree = anonymousKilobytes();
        QVERIFY(afterFree > 0);

        QVERIFY(HeapTrim::releaseFreeMemory());
        const qint64 afterTrim = anonymousKilobytes();
        QVERIFY2(afterFree - afterTrim >= 8 * 1024,
                 qPrintable(QStringLiteral("%1 kB before, %2 kB after").arg(afterFree).arg(afterTrim)));
        // What is in use is untouched.
        for (int i = 0; i < blockCount; i += 16) {
            QCOMPARE(blocks[i], QByteArray(blockSize, char('a' + i % 26)));
        }
    }
};

PENDLOW_TEST_MAIN(HeapTrimTest)
#include "tst_HeapTrim.moc"
