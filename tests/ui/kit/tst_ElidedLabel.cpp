// A label cut to its width keeps its whole text, and can show it whole on hover.
#include "support/TestMain.h"

#include "ui/kit/ElidedLabel.h"

#include <QHelpEvent>
#include <QToolTip>

class ElidedLabelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hoverShowsTheWholeTextOnlyWhenCut_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("showsWholeText");
        QTest::addColumn<QString>("ownToolTip");
        QTest::addColumn<QString>("expectedTip");
        const QString whole = QStringLiteral("Implement the login page for the customer portal");
        QTest::newRow("cut, opted in") << 60 << true << QString() << whole;
        QTest::newRow("fits, opted in") << 2000 << true << QString() << QString();
        QTest::newRow("cut, not opted in") << 60 << false << QString() << QString();
        QTest::newRow("cut, own tooltip wins")
            << 60 << true << QStringLiteral("help") << QStringLiteral("help");
    }

    void hoverShowsTheWholeTextOnlyWhenCut() {
        QFETCH(int, width);
        QFETCH(bool, showsWholeText);
        QFETCH(QString, ownToolTip);
        QFETCH(QString, expectedTip);
        ElidedLabel label(QStringLiteral("Implement the login page for the customer portal"));
        label.setShowsWholeTextWhenElided(showsWholeText);
        label.setToolTip(ownToolTip);
        label.resize(width, label.sizeHint().height());
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));
        QCOMPARE(label.isElided(), width < label.sizeHint().width());
        QCOMPARE(label.text(), QStringLiteral("Implement the login page for the customer portal"));

        QToolTip::hideText();
        QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), label.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&label, &hover);
        QTRY_COMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), expectedTip);
        QToolTip::hideText();
    }
};

PENDLOW_TEST_MAIN(ElidedLabelTest)
#include "tst_ElidedLabel.moc"
