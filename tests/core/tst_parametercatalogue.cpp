#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"

#include <QLoggingCategory>
#include <QTest>

namespace PC = ParameterCatalogue;

class TestParameterCatalogue : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void placesAndRowsAreInverse();
    void outsideLookups();
    void gridRows_data();
    void gridRows();
    void writtenFromFile();
    void editorRule();
    void valueText_data();
    void valueText();
    void parseValue_data();
    void parseValue();
    void valueTextReadsBack();
    void itemForValue_data();
    void itemForValue();
    void valueForItem_data();
    void valueForItem();
    void listedParametersRoundTrip();
    void listTexts_data();
    void listTexts();
    void withoutList();
    void b8Bits();
    void production_data();
    void production();
};

struct Range {
    int kind, first, last;
};

static bool inRanges(std::initializer_list<Range> ranges, int kind, int index) {
    for (const Range& r : ranges)
        if (r.kind == kind && index >= r.first && index <= r.last) return true;
    return false;
}

void TestParameterCatalogue::initTestCase() {
    LangIndex = 1; // English, so a translated text differs from its key wherever one exists
    QLoggingCategory::setFilterRules(QStringLiteral("kovr.lang.warning=false"));
}

void TestParameterCatalogue::placesAndRowsAreInverse() {
    QCOMPARE(PC::count(0), 65);
    QCOMPARE(PC::count(1), 19);
    QCOMPARE(PC::count(2), 2);
    for (int kind = 0; kind < 3; ++kind) {
        for (int index = 0; index < PC::count(kind); ++index) {
            const GridPlace p = PC::place(kind, index);
            QVERIFY2(p.grid == 0 || p.grid == 1, qPrintable(QString::number(index)));
            QCOMPARE(PC::entry(p.grid, p.row), (ParamRef{kind, index}));
            QCOMPARE(PC::nameKeyOf(kind, index), PC::nameKey(p.grid, p.row));
        }
    }
    const int rows[] = {PC::LeftRows, PC::RightRows};
    for (int grid = 0; grid < 2; ++grid) {
        for (int row = 1; row <= rows[grid]; ++row) {
            const ParamRef e = PC::entry(grid, row);
            QVERIFY2(e.kind >= 0 && e.index >= 0, qPrintable(QString::number(row)));
            QCOMPARE(PC::place(e.kind, e.index), (GridPlace{grid, row}));
            QVERIFY(!PC::nameKey(grid, row).isEmpty());
        }
    }
}

void TestParameterCatalogue::outsideLookups() {
    QCOMPARE(PC::count(3), 0);
    QCOMPARE(PC::count(-1), 0);
    QCOMPARE(PC::place(0, 65), (GridPlace{-1, -1}));
    QCOMPARE(PC::place(1, 19), (GridPlace{-1, -1}));
    QCOMPARE(PC::place(2, 2), (GridPlace{-1, -1}));
    QCOMPARE(PC::place(0, -1), (GridPlace{-1, -1}));
    QCOMPARE(PC::place(3, 0), (GridPlace{-1, -1}));
    QCOMPARE(PC::entry(0, 0), (ParamRef{-1, -1}));
    QCOMPARE(PC::entry(0, 43), (ParamRef{-1, -1}));
    QCOMPARE(PC::entry(1, 45), (ParamRef{-1, -1}));
    QCOMPARE(PC::entry(2, 1), (ParamRef{-1, -1}));
    QVERIFY(PC::nameKey(1, 0).isEmpty());
    QVERIFY(PC::nameKeyOf(1, 19).isEmpty());
    QVERIFY(!PC::fromFile(0, 65, 1));
    QCOMPARE(PC::editor(2, 2), Editor::None);
}

void TestParameterCatalogue::gridRows_data() {
    QTest::addColumn<int>("grid");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("key");
    QTest::newRow("left 1") << 0 << 1 << 2 << 0 << "PolohaO";
    QTest::newRow("left 2") << 0 << 2 << 2 << 1 << "PolohaZ";
    QTest::newRow("left 7") << 0 << 7 << 0 << 54 << "PasmoSnimac";
    QTest::newRow("left 12") << 0 << 12 << 1 << 3 << "MomentZMin";
    QTest::newRow("left 13") << 0 << 13 << 1 << 2 << "MomentZ100";
    QTest::newRow("left 16") << 0 << 16 << 0 << 27 << "MomentPracovniO";
    QTest::newRow("left 17") << 0 << 17 << 0 << 10 << "MomentPracovniZ";
    QTest::newRow("left 38") << 0 << 38 << 1 << 12 << "PolohaSafe";
    QTest::newRow("left 41") << 0 << 41 << 0 << 64 << "RidiciSignal0mA";
    QTest::newRow("left 42") << 0 << 42 << 0 << 4 << "RidiciSignal20mA";
    QTest::newRow("right 1") << 1 << 1 << 0 << 30 << "Setrvacnost";
    QTest::newRow("right 3") << 1 << 3 << 0 << 32 << "Necitlivost [%]";
    QTest::newRow("right 29") << 1 << 29 << 0 << 56 << "TaktMod";
    QTest::newRow("right 36") << 1 << 36 << 1 << 14 << "ReleZivotnost";
    QTest::newRow("right 37") << 1 << 37 << 1 << 13 << "RychlostOtaceni";
    QTest::newRow("right 44") << 1 << 44 << 0 << 62 << "CasKontrolySpojeni";
}

void TestParameterCatalogue::gridRows() {
    QFETCH(int, grid);
    QFETCH(int, row);
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(QString, key);
    QCOMPARE(PC::entry(grid, row), (ParamRef{kind, index}));
    QCOMPARE(PC::place(kind, index), (GridPlace{grid, row}));
    QCOMPARE(PC::nameKey(grid, row), key);
}

// "Omezení" leaves out W0-W7, B0-B7, B54, B57, B58 and B64; "Výměna snímače" only B4, B7, B64.
void TestParameterCatalogue::writtenFromFile() {
    for (int kind = 0; kind < 3; ++kind) {
        for (int index = 0; index < PC::count(kind); ++index) {
            const bool limited = !inRanges(
                {{1, 0, 7}, {0, 0, 7}, {0, 54, 54}, {0, 57, 58}, {0, 64, 64}}, kind, index);
            const bool sensorReplacement =
                !inRanges({{0, 4, 4}, {0, 7, 7}, {0, 64, 64}}, kind, index);
            const QByteArray what = QByteArray::number(kind) + '/' + QByteArray::number(index);
            QVERIFY2(PC::fromFile(kind, index, 0) == limited, what);
            QVERIFY2(PC::fromFile(kind, index, 1) == sensorReplacement, what);
            QVERIFY2(!PC::fromFile(kind, index, 2), what);
        }
    }
}

void TestParameterCatalogue::editorRule() {
    for (int kind = 0; kind < 3; ++kind) {
        for (int index = 0; index < PC::count(kind); ++index) {
            Editor expected = Editor::None;
            if (inRanges({{0, 0, 3}}, kind, index))
                expected = Editor::Sensor;
            else if (inRanges({{0, 4, 4}, {0, 64, 64}}, kind, index))
                expected = Editor::ControlSignal;
            else if (inRanges({{0, 6, 9},
                               {0, 11, 12},
                               {0, 14, 23},
                               {0, 26, 26},
                               {0, 43, 48},
                               {0, 56, 56},
                               {0, 59, 61},
                               {0, 63, 63}},
                              kind, index))
                expected = Editor::Parameters;
            else if (inRanges({{0, 34, 41}}, kind, index))
                expected = Editor::ErrorMasks;
            else if (inRanges({{1, 0, 3}}, kind, index))
                expected = Editor::Torque;
            else if (inRanges({{1, 6, 7}}, kind, index))
                expected = Editor::Cpt;
            else if (inRanges({{1, 8, 12}, {1, 15, 18}, {2, 0, 1}}, kind, index))
                expected = Editor::Position;
            const QByteArray what = QByteArray::number(kind) + '/' + QByteArray::number(index);
            QVERIFY2(PC::editor(kind, index) == expected, what);
        }
    }
}

void TestParameterCatalogue::valueText_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<bool>("isSigned");
    QTest::addColumn<QString>("text");
    QTest::newRow("B 200 signed") << 0 << 200u << true << "-56";
    QTest::newRow("B 200 unsigned") << 0 << 200u << false << "200";
    QTest::newRow("B 127 signed") << 0 << 127u << true << "127";
    QTest::newRow("B 128 signed") << 0 << 128u << true << "-128";
    QTest::newRow("B beyond a byte") << 0 << 0x1FFu << false << "255";
    QTest::newRow("W signed flag ignored") << 1 << 65535u << true << "65535";
    QTest::newRow("W beyond a word") << 1 << 0x10001u << false << "1";
    QTest::newRow("DW max") << 2 << 4294967295u << false << "4294967295";
}

void TestParameterCatalogue::valueText() {
    QFETCH(int, kind);
    QFETCH(quint32, value);
    QFETCH(bool, isSigned);
    QFETCH(QString, text);
    QCOMPARE(PC::valueText(kind, value, isSigned), text);
}

void TestParameterCatalogue::parseValue_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("value");
    QTest::newRow("W 65536 wraps") << 1 << "65536" << 0u;
    QTest::newRow("W -1") << 1 << "-1" << 65535u;
    QTest::newRow("B -1") << 0 << "-1" << 255u;
    QTest::newRow("B 300") << 0 << "300" << 44u;
    QTest::newRow("B -56") << 0 << "-56" << 200u;
    QTest::newRow("B abc") << 0 << "abc" << 0u;
    QTest::newRow("W empty") << 1 << "" << 0u;
    QTest::newRow("W fraction") << 1 << "12.5" << 0u;
    QTest::newRow("W hex") << 1 << "0x10" << 0u;
    QTest::newRow("B beyond 32 bits signed") << 0 << "2147483648" << 0u;
    QTest::newRow("W largest signed") << 1 << "2147483647" << 65535u;
    QTest::newRow("DW -1") << 2 << "-1" << 4294967295u;
    QTest::newRow("DW unsigned max") << 2 << "4294967295" << 4294967295u;
    QTest::newRow("DW above 32 bits") << 2 << "4294967296" << 0u;
    QTest::newRow("DW abc") << 2 << "abc" << 0u;
}

void TestParameterCatalogue::parseValue() {
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(quint32, value);
    QCOMPARE(PC::parseValue(kind, text), value);
}

// A value cell that nobody edited must never look changed.
void TestParameterCatalogue::valueTextReadsBack() {
    const quint32 values[] = {0u,     1u,     127u,        128u,        200u,       255u,
                              32768u, 65535u, 2147483647u, 2147483648u, 4294967295u};
    const quint32 widths[] = {0xFFu, 0xFFFFu, 0xFFFFFFFFu};
    for (int kind = 0; kind < 3; ++kind) {
        for (quint32 v : values) {
            const quint32 stored = v & widths[kind];
            for (bool isSigned : {false, true}) {
                const QString text = PC::valueText(kind, stored, isSigned);
                QVERIFY2(PC::parseValue(kind, text) == stored, qPrintable(text));
            }
        }
    }
}

void TestParameterCatalogue::itemForValue_data() {
    QTest::addColumn<int>("b");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("item");
    QTest::newRow("B27 80") << 27 << qint64(80) << 3;
    QTest::newRow("B27 45 truncates toward zero") << 27 << qint64(45) << 0;
    QTest::newRow("B27 30") << 27 << qint64(30) << -2;
    QTest::newRow("B10 100") << 10 << qint64(100) << 5;
    QTest::newRow("B32 0 shows nothing") << 32 << qint64(0) << -1;
    QTest::newRow("B32 1") << 32 << qint64(1) << 0;
    QTest::newRow("B29 55") << 29 << qint64(55) << 5;
    QTest::newRow("B15 7 beyond the list") << 15 << qint64(7) << 7;
    QTest::newRow("B5 without list") << 5 << qint64(33) << 33;
}

void TestParameterCatalogue::itemForValue() {
    QFETCH(int, b);
    QFETCH(qint64, value);
    QFETCH(int, item);
    QCOMPARE(PC::itemForValue(b, value), item);
}

void TestParameterCatalogue::valueForItem_data() {
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("item");
    QTest::addColumn<qint64>("value");
    QTest::newRow("B27 80 %") << 27 << 3 << qint64(80);
    QTest::newRow("B10 50 %") << 10 << 0 << qint64(50);
    QTest::newRow("B29 5 s") << 29 << 5 << qint64(50);
    QTest::newRow("B32 1 %") << 32 << 0 << qint64(1);
    QTest::newRow("B32 10 %") << 32 << 9 << qint64(10);
    QTest::newRow("B45 item = value") << 45 << 19 << qint64(19);
}

void TestParameterCatalogue::valueForItem() {
    QFETCH(int, b);
    QFETCH(int, item);
    QFETCH(qint64, value);
    QCOMPARE(PC::valueForItem(b, item), value);
}

void TestParameterCatalogue::listedParametersRoundTrip() {
    QList<int> listed;
    for (int b = 0; b < PC::count(0); ++b) {
        if (!PC::hasValueList(b)) continue;
        listed.append(b);
        const int items = int(PC::valueListTexts(b).size());
        QVERIFY2(items > 0, qPrintable(QString::number(b)));
        for (int k = 0; k < items; ++k) {
            const qint64 v = PC::valueForItem(b, k);
            QVERIFY2(v >= 0 && v <= 255, qPrintable(QString::number(b)));
            QCOMPARE(PC::itemForValue(b, v), k);
        }
    }
    const QList<int> expected = {6,  7,  9,  10, 11, 12, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 25,
                                 26, 27, 28, 29, 32, 43, 44, 45, 46, 47, 48, 56, 59, 60, 61, 63};
    QCOMPARE(listed, expected);
}

void TestParameterCatalogue::listTexts_data() {
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("translated");
    QTest::newRow("B25 first") << 25 << 51 << 0 << "0 %" << false;
    QTest::newRow("B28 last") << 28 << 51 << 50 << "50 %" << false;
    QTest::newRow("B29 last") << 29 << 21 << 20 << "20 s" << false;
    QTest::newRow("B32 first") << 32 << 10 << 0 << "1 %" << false;
    QTest::newRow("B32 last") << 32 << 10 << 9 << "10 %" << false;
    QTest::newRow("B59 first") << 59 << 10 << 0 << "300 bit/s" << false;
    QTest::newRow("B59 last") << 59 << 10 << 9 << "115200 bit/s" << false;
    QTest::newRow("B6") << 6 << 5 << 4 << "KOVR FIELDBUS" << true;
    QTest::newRow("B7") << 7 << 2 << 1 << "neprovedena" << true;
    QTest::newRow("B9") << 9 << 3 << 2 << "trvale dálkové" << true;
    QTest::newRow("B10") << 10 << 6 << 0 << "50  %" << true;
    QTest::newRow("B27") << 27 << 6 << 5 << "100 %" << true;
    QTest::newRow("B11") << 11 << 2 << 1 << "jednootáčkový" << true;
    QTest::newRow("B12") << 12 << 2 << 0 << "pozitivní" << true;
    QTest::newRow("B44") << 44 << 2 << 1 << "negativní" << true;
    QTest::newRow("B14") << 14 << 2 << 1 << "namontována" << true;
    QTest::newRow("B15") << 15 << 4 << 3 << "20-0 mA" << true;
    QTest::newRow("B16") << 16 << 4 << 3 << "moment+poloha O+Z" << true;
    QTest::newRow("B17") << 17 << 4 << 3 << "na polohu" << true;
    QTest::newRow("B18") << 18 << 2 << 1 << "230 V" << true;
    QTest::newRow("B19") << 19 << 2 << 1 << "20-4 mA" << true;
    QTest::newRow("B20") << 20 << 2 << 1 << "rozpínací" << true;
    QTest::newRow("B21") << 21 << 2 << 1 << "SAFE točí motorem" << true;
    QTest::newRow("B22") << 22 << 2 << 1 << "místním ovládáním" << true;
    QTest::newRow("B23") << 23 << 3 << 2 << "Polski" << true;
    QTest::newRow("B26") << 26 << 2 << 1 << "50-100%" << true;
    QTest::newRow("B43") << 43 << 7 << 5 << "chyby nebo var. nebo není dálk." << true;
    QTest::newRow("B45") << 45 << 20 << 12 << "ovládání-místní" << true;
    QTest::newRow("B46") << 46 << 20 << 0 << "vypnuto" << true;
    QTest::newRow("B47") << 47 << 20 << 7 << "otevírání" << true;
    QTest::newRow("B48") << 48 << 20 << 19 << "moment O nebo Z negovaný" << true;
    QTest::newRow("B56") << 56 << 4 << 3 << "směr O a Z" << true;
    QTest::newRow("B60") << 60 << 3 << 2 << "žádná" << true;
    QTest::newRow("B61") << 61 << 4 << 1 << "kabelová" << true;
    QTest::newRow("B63") << 63 << 3 << 1 << "2P SAFE" << true;
}

void TestParameterCatalogue::listTexts() {
    QFETCH(int, b);
    QFETCH(int, size);
    QFETCH(int, item);
    QFETCH(QString, text);
    QFETCH(bool, translated);
    QVERIFY(PC::hasValueList(b));
    const QStringList texts = PC::valueListTexts(b);
    QCOMPARE(texts.size(), size);
    QCOMPARE(texts.at(item), translated ? LangText(text) : text);
}

void TestParameterCatalogue::withoutList() {
    for (int b : {-1, 0, 4, 5, 8, 13, 24, 64, 65}) {
        QVERIFY2(!PC::hasValueList(b), qPrintable(QString::number(b)));
        QVERIFY(PC::valueListTexts(b).isEmpty());
        QCOMPARE(PC::koef(b), 1);
        QCOMPARE(PC::offset(b), 0);
    }
}

void TestParameterCatalogue::b8Bits() {
    const QStringList bits = PC::b8BitTexts();
    QCOMPARE(bits.size(), 8);
    QCOMPARE(bits[0], LangText(QStringLiteral("LCD interní")));
    QCOMPARE(bits[1], LangText(QStringLiteral("LCD externí")));
    QCOMPARE(bits[2], LangText(QStringLiteral("Fieldbus")));
    for (int bit = 3; bit <= 6; ++bit)
        QVERIFY(bits[bit].isEmpty());
    QCOMPARE(bits[7], LangText(QStringLiteral("Vývoj")));
}

void TestParameterCatalogue::production_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<int>("panel");
    QTest::newRow("0") << 0 << 1 << "FW snímač" << false << 2;
    QTest::newRow("1") << 1 << 6 << "Datum změny" << true << -1;
    QTest::newRow("2") << 2 << 7 << "Poslední změna" << false << -1;
    QTest::newRow("3") << 3 << 8 << "Výrobní číslo elektroniky" << true << 5;
    QTest::newRow("4") << 4 << 9 << "Datum výroby elektroniky" << true << 6;
    QTest::newRow("5") << 5 << 10 << "Výrobní číslo pohonu" << true << 3;
    QTest::newRow("6") << 6 << 11 << "Datum montáže na pohon" << true << 4;
    QTest::newRow("7") << 7 << 12 << "Výrobní číslo převodovky" << true << -1;
    QTest::newRow("8") << 8 << 13 << "Datum výroby převodovky" << true << -1;
    QTest::newRow("9") << 9 << 2 << "FW displej int." << false << -1;
    QTest::newRow("10") << 10 << 3 << "FW displej ext." << false << -1;
    QTest::newRow("11") << 11 << 4 << "FW displej ED" << false << -1;
    QTest::newRow("12") << 12 << 5 << "FW fieldbus" << false << -1;
    QTest::newRow("outside") << 13 << -1 << "" << false << -1;
}

void TestParameterCatalogue::production() {
    QFETCH(int, field);
    QFETCH(int, row);
    QFETCH(QString, key);
    QFETCH(bool, writable);
    QFETCH(int, panel);
    const ProductionField f = PC::productionField(field);
    QCOMPARE(f.row, row);
    QCOMPARE(f.labelKey, key);
    QCOMPARE(f.writable, writable);
    QCOMPARE(f.statusPanel, panel);
    if (row > 0) {
        QCOMPARE(PC::productionFieldAtRow(row), field);
    } else {
        QCOMPARE(PC::productionFieldAtRow(0), -1);
        QCOMPARE(PC::productionFieldAtRow(14), -1);
    }
}

QTEST_GUILESS_MAIN(TestParameterCatalogue)
#include "tst_parametercatalogue.moc"
