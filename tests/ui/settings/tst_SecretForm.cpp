// The secret form of the settings pages, where the pages' own tests do not reach it: a page closed
// while its save or test still waits on the secret store or the service. The form ends quietly,
// touching none of the page's widgets and reporting nothing.
#include "support/InMemoryKeychain.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "ui/settings/SavedConfirmation.h"
#include "ui/settings/SecretForm.h"
#include "ui/settings/SettingsResultLabel.h"

#include <QCoroTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {

// A secret store whose writes take a while.
class SlowKeychain : public InMemoryKeychain {
public:
    QCoro::Task<> setValue(QString value, QString key) override {
        co_await QCoro::sleepFor(100ms);
        co_await InMemoryKeychain::setValue(std::move(value), std::move(key));
        ++finishedWrites;
    }
    int finishedWrites = 0;
};

// A check that passes after a while. A free coroutine: the lambda that starts it dies with the form.
QCoro::Task<> slowCheck(int& finished) {
    co_await QCoro::sleepFor(100ms);
    ++finished;
}

// A page as the settings pages build one: a secret field, the result line, Save, Test and "Saved".
struct Page {
    explicit Page(SecretStore& keychain, int& finishedChecks)
        : widget(std::make_unique<QWidget>())
        , field(new QLineEdit(widget.get()))
        , result(new SettingsResultLabel(widget.get()))
        , saved(new SavedConfirmation(widget.get()))
        , save(new QPushButton(widget.get()))
        , test(new QPushButton(widget.get()))
        , form(new SecretForm(keychain, onHeap(u"test-secret"), field, result, widget.get())) {
        form->setActions(
            SecretForm::Actions{
                .storeSecret = [this](bool) { return form->store(SecretForm::WhenEmpty::keepsSecret); },
                .check = [&finishedChecks] { return slowCheck(finishedChecks); },
                .successText = onHeap(u"Connected"),
                .canTest = [] { return true; },
                .saveFailureLog = onHeap(u"save failed"),
                .testFailureLog = onHeap(u"test failed"),
            },
            save, saved, test);
    }

    std::unique_ptr<QWidget> widget;
    QLineEdit* field;
    SettingsResultLabel* result;
    SavedConfirmation* saved;
    QPushButton* save;
    QPushButton* test;
    SecretForm* form;
};

} // namespace

class SecretFormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void closingThePageMidwayEndsQuietly_data() {
        QTest::addColumn<bool>("pressTest");
        QTest::addColumn<bool>("secretTyped");
        // With a secret typed, both wait on the store first; without one, Test waits on the service.
        QTest::newRow("save while storing") << false << true;
        QTest::newRow("test while storing") << true << true;
        QTest::newRow("test while checking") << true << false;
    }

    void closingThePageMidwayEndsQuietly() {
        QFETCH(bool, pressTest);
        QFETCH(bool, secretTyped);
        SlowKeychain keychain;
        int finishedChecks = 0;
        Page page(keychain, finishedChecks);
        if (secretTyped) {
            page.field->setText(onHeap(u"  sk-typed  "));
        }
        QSignalSpy saveFinished(page.form, &SecretForm::saveFinished);
        QSignalSpy testFinished(page.form, &SecretForm::testFinished);
        (pressTest ? page.test : page.save)->click();
        QVERIFY(pressTest ? page.form->isTesting() : page.form->isSaving());

        page.widget.reset();
        if (secretTyped) {
            // The write itself goes on to the end.
            QTRY_COMPARE(keychain.finishedWrites, 1);
            QCOMPARE(keychain.item(QStringLiteral("test-secret")),
                     std::optional<QString>(QStringLiteral("sk-typed")));
        } else {
            QTRY_COMPARE(finishedChecks, 1);
        }
        QTest::qWait(50);
        QVERIFY(saveFinished.isEmpty());
        QVERIFY(testFinished.isEmpty());
        // A test whose store was cut short never asks the service.
        QCOMPARE(finishedChecks, secretTyped ? 0 : 1);
    }
};

PENDLOW_TEST_MAIN(SecretFormTest)
#include "tst_SecretForm.moc"
