// The byte reader of JSON: the syntax is checked as the caller walks the document, strings come out
// whole whatever their escapes, skipped members are checked too, and a failure names its kind and place.
#include "support/TestMain.h"

#include "core/DecodingError.h"
#include "core/JsonByteReader.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {
// Reads {"items":[<string or null>, ...]} into a list ("<none>" for null); unknown members skipped.
QStringList readItems(const QByteArray& bytes) {
    JsonByteReader reader(bytes);
    const JsonPlace root;
    QStringList items;
    bool hasItems = false;
    reader.readObject(root, [&](const QByteArray& key) {
        if (key != "items") {
            reader.skipValue();
            return;
        }
        const JsonPlace place{&root, "items"};
        reader.readArray(place, [&](qsizetype index) {
            items.append(reader.optionalString(JsonPlace{&place, nullptr, index}).value_or(u"<none>"_s));
        });
        hasItems = true;
    });
    JsonByteReader::requireKey(hasItems, root, "items");
    reader.finish();
    return items;
}

// The failure of reading, or none.
std::optional<DecodingError> failureOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const DecodingError& error) {
        return error;
    }
    return std::nullopt;
}
} // namespace

class TestJsonByteReader : public QObject {
    Q_OBJECT

private slots:
    void readsStringsWhateverTheirEscapes_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QByteArray("\"abc\"") << u"abc"_s;
        QTest::newRow("empty") << QByteArray("\"\"") << QString();
        QTest::newRow("utf-8") << QByteArray("\"\xc3\xbc \xe2\x80\x94 \xf0\x9f\x98\x80\"")
                               << u"ü — \U0001F600"_s;
        QTest::newRow("simple escapes")
            << QByteArray("\"a\\\"b\\\\c\\/d\\b\\f\\n\\r\\te\"") << u"a\"b\\c/d\b\f\n\r\te"_s;
        QTest::newRow("escape between plain runs")
            << QByteArray("\"one\\ttwo\\tthree\"") << u"one\ttwo\tthree"_s;
        QTest::newRow("unicode escapes") << QByteArray("\"\\u00fc\\u00FC\"") << u"üü"_s;
        QTest::newRow("surrogate pair") << QByteArray("\"\\ud83d\\ude00\"") << u"\U0001F600"_s;
    }
    void readsStringsWhateverTheirEscapes() {
        QFETCH(QByteArray, json);
        QFETCH(QString, text);
        const QByteArray bytes = "{\"items\":[" + json + ",null]}";
        QCOMPARE(readItems(bytes), (QStringList{text, u"<none>"_s}));
    }

    void skipsUnknownMembersOfEveryKindAndEscapedKeys() {
        const QByteArray bytes = " { \"a\" : [1, -2.5e+3, 0, true, false, null, {\"b\": {\"c\": []}}],\n"
                                 "   \"s\\u0074ring\": \"x\\ny\", \"n\": -0.0E1,\n"
                                 "   \"\\u0069tems\" : [ \"kept\" ] } ";
        QCOMPARE(readItems(bytes), QStringList{u"kept"_s});
    }

    void refusesTextThatIsNotJson_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("detail");
        QTest::newRow("empty") << QByteArray() << u"unexpected end of data at offset 0"_s;
        QTest::newRow("bad start") << QByteArray("x") << u"unexpected character at offset 0"_s;
        QTest::newRow("missing colon") << QByteArray("{\"items\" []}") << u"expected : at offset 9"_s;
        QTest::newRow("missing comma")
            << QByteArray("{\"items\":[\"a\" \"b\"]}") << u"expected , or ] at offset 14"_s;
        QTest::newRow("unquoted key") << QByteArray("{items:[]}") << u"expected a key at offset 1"_s;
        QTest::newRow("trailing comma") << QByteArray("{\"items\":[],}") << u"expected a key at offset 12"_s;
        QTest::newRow("unterminated object")
            << QByteArray("{\"items\":[]") << u"unterminated object at offset 11"_s;
        QTest::newRow("unterminated string")
            << QByteArray("{\"items\":[\"ab") << u"unterminated string at offset 13"_s;
        QTest::newRow("unterminated after escape")
            << QByteArray("{\"items\":[\"a\\n") << u"unterminated string at offset 14"_s;
        QTest::newRow("raw newline in a string")
            << QByteArray("{\"items\":[\"a\nb\"]}") << u"control character in a string at offset 12"_s;
        QTest::newRow("unknown escape")
            << QByteArray("{\"items\":[\"\\x\"]}") << u"invalid escape at offset 13"_s;
        QTest::newRow("short unicode escape")
            << QByteArray("{\"items\":[\"\\u12\"]}") << u"invalid escape at offset 13"_s;
        QTest::newRow("misspelt literal")
            << QByteArray("{\"items\":[nul]}") << u"invalid literal at offset 10"_s;
        QTest::newRow("leading plus")
            << QByteArray("{\"x\":+1,\"items\":[]}") << u"unexpected character at offset 5"_s;
        QTest::newRow("bare fraction")
            << QByteArray("{\"x\":1.,\"items\":[]}") << u"invalid number at offset 7"_s;
        QTest::newRow("bare exponent")
            << QByteArray("{\"x\":1e,\"items\":[]}") << u"invalid number at offset 7"_s;
        QTest::newRow("garbage after the document")
            << QByteArray("{\"items\":[]} x") << u"garbage after the document at offset 13"_s;
        QTest::newRow("too deeply nested") << "{\"x\":" + QByteArray(300, '[') + QByteArray(300, ']') + "}"
                                           << u"too deeply nested at offset 262"_s;
    }
    void refusesTextThatIsNotJson() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, detail);
        const std::optional<DecodingError> error = failureOf([&] { readItems(bytes); });
        QVERIFY(error.has_value());
        QCOMPARE(error->kind(), DecodingError::Kind::dataCorrupted);
        QCOMPARE(error->codingPath(), QString());
        QCOMPARE(error->detail(), u"The data is not valid JSON: "_s + detail);
    }

    // A value of the wrong kind names its place; a broken value there is a syntax failure first.
    void namesThePlaceOfAValueOfTheWrongKind_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<DecodingError::Kind>("kind");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("detail");
        using K = DecodingError::Kind;
        QTest::newRow("number in the list") << QByteArray("{\"items\":[\"a\",7]}") << K::typeMismatch
                                            << u"items[1]"_s << u"Expected String but found a number"_s;
        QTest::newRow("object for the list") << QByteArray("{\"items\":{}}") << K::typeMismatch << u"items"_s
                                             << u"Expected Array but found an object"_s;
        QTest::newRow("null list") << QByteArray("{\"items\":null}") << K::valueNotFound << u"items"_s
                                   << u"Expected Array but found null"_s;
        QTest::newRow("no list") << QByteArray("{\"other\":[]}") << K::keyNotFound << u"items"_s
                                 << u"No value for the required key \"items\""_s;
        QTest::newRow("not an object")
            << QByteArray("[]") << K::typeMismatch << QString() << u"Expected Object but found an array"_s;
        QTest::newRow("broken value of the wrong kind")
            << QByteArray("{\"items\":{\"a\":}}") << K::dataCorrupted << QString()
            << u"The data is not valid JSON: unexpected "
               "character at offset 14"_s;
    }
    void namesThePlaceOfAValueOfTheWrongKind() {
        QFETCH(QByteArray, bytes);
        QFETCH(DecodingError::Kind, kind);
        QFETCH(QString, path);
        QFETCH(QString, detail);
        const std::optional<DecodingError> error = failureOf([&] { readItems(bytes); });
        QVERIFY(error.has_value());
        QCOMPARE(error->kind(), kind);
        QCOMPARE(error->codingPath(), path);
        QCOMPARE(error->detail(), detail);
    }

    void readsBooleansIdsAndShortStrings() {
        const QByteArray bytes = QByteArrayLiteral(
            "[true, false, \"0f8fad5b-D9CB-469F-A165-70867728950E\", "
            "\"\\u0030F8FAD5B-D9CB-469F-A165-70867728950E\","
            " \"short\", \"a string of more than thirty-two characters\", \"esc\\u0061ped\"]");
        JsonByteReader reader(bytes);
        const JsonPlace root;
        const QUuid id(u"0F8FAD5B-D9CB-469F-A165-70867728950E"_s);
        QStringList views;
        reader.readArray(root, [&](qsizetype index) {
            const JsonPlace at{&root, nullptr, index};
            if (index < 2) {
                QCOMPARE(reader.requiredBool(at), index == 0);
            } else if (index < 4) {
                QCOMPARE(reader.requiredUuid(at), id);
            } else {
                views.append(
                    reader.requiredShortString(at, [](QStringView text) { return text.toString(); }));
            }
        });
        reader.finish();
        QCOMPARE(views,
                 (QStringList{u"short"_s, u"a string of more than thirty-two characters"_s, u"escaped"_s}));
    }

    void refusesMalformedIds_data() {
        QTest::addColumn<QByteArray>("id");
        QTest::newRow("letter for a dash") << QByteArray("0F8FAD5BXD9CB-469F-A165-70867728950E");
        QTest::newRow("one digit short") << QByteArray("0F8FAD5B-D9CB-469F-A165-70867728950");
        QTest::newRow("in braces") << QByteArray("{0F8FAD5B-D9CB-469F-A165-70867728950E}");
        QTest::newRow("escaped non-digit") << QByteArray("\\u0047F8FAD5B-D9CB-469F-A165-70867728950E");
    }
    void refusesMalformedIds() {
        QFETCH(QByteArray, id);
        const QByteArray bytes = "[\"" + id + "\"]";
        const std::optional<DecodingError> error = failureOf([&] {
            JsonByteReader reader(bytes);
            const JsonPlace root;
            reader.readArray(root, [&](qsizetype index) {
                reader.requiredUuid(JsonPlace{&root, nullptr, index});
            });
        });
        QVERIFY(error.has_value());
        QCOMPARE(error->kind(), DecodingError::Kind::dataCorrupted);
        QCOMPARE(error->codingPath(), u"[0]"_s);
    }

    void spellsPlacesOut() {
        const JsonPlace root;
        const JsonPlace sessions{&root, "sessions"};
        const JsonPlace second{&sessions, nullptr, 2};
        const JsonPlace captures{&second, "windowCaptures"};
        QCOMPARE(root.text(), QString());
        QCOMPARE(JsonPlace({&captures, nullptr, 0}).text(), u"sessions[2].windowCaptures[0]"_s);
        QCOMPARE(JsonPlace({&root, nullptr, 1}).text(), u"[1]"_s);
    }
};

PENDLOW_TEST_MAIN(TestJsonByteReader)
#include "tst_JsonByteReader.moc"
