// Strict JSON reading with places in errors, shared by the service clients.
#include "support/TestMain.h"

#include "core/DecodingError.h"
#include "core/JsonReader.h"

#include <functional>

Q_DECLARE_METATYPE(DecodingError::Kind)

namespace {
struct Point {
    qint64 x = 0;
    std::optional<QString> label;
    static Point fromJson(const JsonReader& json) {
        json.object();
        return {json[QLatin1String("x")].integer(), json[QLatin1String("label")].optionalString()};
    }
};

using Read = std::function<void(const JsonReader&)>;
} // namespace

class JsonReaderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void failuresNameKindAndPlace_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<Read>("read");
        QTest::addColumn<DecodingError::Kind>("kind");
        QTest::addColumn<QString>("path");
        using K = DecodingError::Kind;
        const Read points = [](const JsonReader& json) { json[QLatin1String("points")].list<Point>(); };
        const Read name = [](const JsonReader& json) { json[QLatin1String("name")].string(); };

        QTest::newRow("missing member") << QByteArray(R"({})") << name << K::keyNotFound << "name";
        QTest::newRow("null member") << QByteArray(R"({"name":null})") << name << K::valueNotFound << "name";
        QTest::newRow("number for a string")
            << QByteArray(R"({"name":1})") << name << K::typeMismatch << "name";
        QTest::newRow("member of an array") << QByteArray(R"([])") << name << K::typeMismatch << "";
        QTest::newRow("nested element")
            << QByteArray(R"({"points":[{"x":1},{"x":"2"}]})") << points << K::typeMismatch << "points[1].x";
        QTest::newRow("fraction for an integer")
            << QByteArray(R"({"points":[{"x":1.5}]})") << points << K::typeMismatch << "points[0].x";
        QTest::newRow("integer beyond 64 bits")
            << QByteArray(R"({"points":[{"x":1e19}]})") << points << K::typeMismatch << "points[0].x";
        QTest::newRow("optional of the wrong type") << QByteArray(R"({"points":[{"x":1,"label":false}]})")
                                                    << points << K::typeMismatch << "points[0].label";
        QTest::newRow("element not an object")
            << QByteArray(R"({"points":[3]})") << points << K::typeMismatch << "points[0]";
        QTest::newRow("not JSON") << QByteArray("{\"points\":") << points << K::dataCorrupted << "";
    }

    void failuresNameKindAndPlace() {
        QFETCH(QByteArray, json);
        QFETCH(Read, read);
        QFETCH(QString, path);
        try {
            read(JsonReader::parse(json));
            QFAIL("no failure");
        } catch (const DecodingError& error) {
            QTEST(error.kind(), "kind");
            QCOMPARE(error.codingPath(), path);
        }
    }

    void readsWhatIsThere() {
        const auto json =
            JsonReader::parse(R"({"points":[{"x":-3,"label":null},{"x":4.0,"label":"b"}],"n":2.5})");
        const auto points = json[QLatin1String("points")].list<Point>();
        QCOMPARE(points.size(), 2);
        QCOMPARE(points[0].x, qint64(-3));
        QCOMPARE(points[0].label, std::nullopt);
        QCOMPARE(points[1].x, qint64(4));
        QCOMPARE(points[1].label, QStringLiteral("b"));
        QCOMPARE(json[QLatin1String("n")].number(), 2.5);
        QVERIFY(!json[QLatin1String("absent")].optional<Point>().has_value());
        QVERIFY(!json[QLatin1String("absent")].optionalList<Point>().has_value());
    }

    void descriptionGivesCauseAndPlace() {
        const DecodingError located(DecodingError::Kind::typeMismatch, QStringLiteral("data[3].start"),
                                    QStringLiteral("Expected String or Int for start"));
        QCOMPARE(located.description(),
                 QStringLiteral("Expected String or Int for start (at data[3].start)"));
        QCOMPARE(Error::describe(located), located.description());
        QCOMPARE(QString::fromUtf8(located.what()), located.description());

        try {
            JsonReader::parse("nope");
            QFAIL("no failure");
        } catch (const DecodingError& error) {
            QVERIFY2(error.description().startsWith(QStringLiteral("The data is not valid JSON")),
                     qPrintable(error.description()));
        }
    }
};

PENDLOW_TEST_MAIN(JsonReaderTest)
#include "tst_JsonReader.moc"
