// As-found and as-left records of a unit, and the comparison of two parameter sets: how records
// are named and listed, when one is not written again, and what the rows of a comparison hold.

#include "lang/Lang.h"
#include "params/IniFile.h"
#include "params/ParameterCatalogue.h"
#include "params/ParameterComparison.h"
#include "params/SheetGrid.h"
#include "params/UnitRecords.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using namespace ParameterCatalogue;
constexpr int Kinds[] = {KindB, KindW, KindDW};

void setText(DeviceImage& image, int field, const QByteArray& text) {
    DeviceImage::ProductionText& t = image.VyrobniUdaje[field];
    t = {};
    for (int i = 0; i < text.size(); ++i)
        t.cells[i].received = t.cells[i].shown = quint8(text[i]);
    t.learnedLength = t.shownLength = int(text.size());
}

// A unit with every parameter present but B 40, B 30 signed, and its serial number.
DeviceImage unit() {
    DeviceImage image;
    for (int kind : Kinds)
        for (int i = 0; i < count(kind); ++i) {
            image.setValue(kind, 1, i, kind == KindB ? quint32(10 + i) : quint32(1000 * kind + i));
            if (kind == KindB) image.ParB_Act[i] = i != 40;
            if (kind == KindW) image.ParW_Act[i] = true;
            if (kind == KindDW) image.ParDW_Act[i] = true;
        }
    image.ParB_Sign[30] = true;
    image.setValue(KindB, 1, 30, 200); // -56
    setText(image, ElectronicsSerialField, "E 12/34");
    setText(image, 5, "P0042317");
    return image;
}

const QDateTime At(QDate(2026, 12, 10), QTime(9, 14, 3, 250));

} // namespace

class TestUnitRecords : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { LangIndex = 1; }
    void namedAndListed();
    void unchangedUnitNotRecordedAgain_data();
    void unchangedUnitNotRecordedAgain();
    void unwritableFolder();
    void comparisonRows();

private:
    SheetGrid m_errors{3, 34};
};

// Found and left records go into the unit's own folder, each with its kind, writer and time;
// the list is newest first, and a name taken in the same second gets "_2".
void TestUnitRecords::namedAndListed() {
    QTemporaryDir root;
    DeviceImage image = unit();
    const UnitRecords::Result found =
        UnitRecords::record(image, m_errors, root.path(), UnitRecords::Kind::Found, "kovr", At);
    QVERIFY2(!found.path.isEmpty(), qPrintable(found.error));
    QCOMPARE(found.path, root.filePath("E_12_34/2026-12-10_09-14-03_E_12_34_found.par"));
    image.setValue(KindW, 1, 3, 77);
    const UnitRecords::Result left = UnitRecords::record(
        image, m_errors, root.path(), UnitRecords::Kind::Left, "kovr-cli", At.addMSecs(500));
    QCOMPARE(left.path, root.filePath("E_12_34/2026-12-10_09-14-03_E_12_34_left.par"));
    image.setValue(KindW, 1, 3, 78);
    const UnitRecords::Result again = UnitRecords::record(
        image, m_errors, root.path(), UnitRecords::Kind::Left, "kovr", At.addMSecs(600));
    QCOMPARE(again.path, root.filePath("E_12_34/2026-12-10_09-14-03_E_12_34_left_2.par"));

    const QList<UnitRecords::Record> records =
        UnitRecords::list(UnitRecords::unitFolder(root.path(), image));
    QCOMPARE(records.size(), 3);
    QCOMPARE(records[0].path, again.path);
    QCOMPARE(records[1].path, left.path);
    QCOMPARE(records[1].writer, QStringLiteral("kovr-cli"));
    QCOMPARE(records[2].kind, UnitRecords::Kind::Found);
    QCOMPARE(records[2].time, At);

    // A record opens as a parameter file and holds the unit as it was then.
    ParameterSet opened;
    QString error;
    QVERIFY2(opened.loadFile(left.path, &error), qPrintable(error));
    const GridPlace w3 = place(KindW, 3);
    QCOMPARE(opened.sheet().cell(w3.grid, ServiceSheet::ValueColumn, w3.row), QStringLiteral("77"));
}

void TestUnitRecords::unchangedUnitNotRecordedAgain_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("presence"); // change the presence instead of the value
    QTest::addColumn<int>("text");      // change this production text instead (-1 none)
    QTest::addColumn<bool>("written");
    QTest::newRow("nothing changed") << -1 << 0 << false << -1 << false;
    QTest::newRow("a byte") << int(KindB) << 12 << false << -1 << true;
    QTest::newRow("a double word") << int(KindDW) << 1 << false << -1 << true;
    QTest::newRow("a parameter gone") << int(KindW) << 5 << true << -1 << true;
    QTest::newRow("a production text") << -1 << 0 << false << 5 << true;
}

// A unit watched all day leaves one record: the next is written only when a value, a
// parameter's presence or a production text differs from the latest record.
void TestUnitRecords::unchangedUnitNotRecordedAgain() {
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(bool, presence);
    QFETCH(int, text);
    QFETCH(bool, written);
    QTemporaryDir root;
    DeviceImage image = unit();
    QVERIFY(!UnitRecords::record(image, m_errors, root.path(), UnitRecords::Kind::Found, "kovr", At)
                 .path.isEmpty());
    if (kind >= 0 && presence) image.ParW_Act[index] = false;
    if (kind >= 0 && !presence) image.setValue(kind, 1, index, image.value(kind, 1, index) + 1);
    if (text >= 0)
        setText(image, text,
                "P\xe8\xed"
                "42"); // bytes above 127 as the unit sends them
    const UnitRecords::Result next = UnitRecords::record(
        image, m_errors, root.path(), UnitRecords::Kind::Found, "kovr", At.addSecs(60));
    QCOMPARE(!next.path.isEmpty(), written);
    QCOMPARE(next.unchanged, !written);
    QCOMPARE(UnitRecords::list(UnitRecords::unitFolder(root.path(), image)).size(),
             written ? 2 : 1);
}

// A folder that cannot be made: the reason, and no file anywhere.
void TestUnitRecords::unwritableFolder() {
    QTemporaryDir root;
    QFile inTheWay(root.filePath("E_12_34"));
    QVERIFY(inTheWay.open(QIODevice::WriteOnly));
    inTheWay.close();
    const UnitRecords::Result result =
        UnitRecords::record(unit(), m_errors, root.path(), UnitRecords::Kind::Found, "kovr", At);
    QVERIFY(result.path.isEmpty());
    QVERIFY2(result.error.contains(root.filePath("E_12_34")), qPrintable(result.error));
    QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"E_12_34"});
}

// Rows in the service window's order, values as it shows them (a signed byte negative), the
// selector's text for a listed byte, nothing for an absent parameter, texts compared as text.
void TestUnitRecords::comparisonRows() {
    DeviceImage a = unit();
    DeviceImage b = unit();
    a.setValue(KindB, 1, 15, 0); // a listed byte: the control signal's range
    b.setValue(KindB, 1, 15, 3);
    b.setValue(KindB, 1, 30, 201); // signed: -55
    b.ParB_Act[40] = true;         // present on one side only
    setText(b, 5,
            "P\xe8\xed"
            "42");
    ParameterSet left;
    ParameterSet right;
    left.takeUnit(a);
    right.takeUnit(b);
    const QList<ComparisonRow> rows = compareParameterSets(left, right);
    QCOMPARE(rows.size(), count(KindB) + count(KindW) + count(KindDW) + ProductionFields);
    QMap<QString, ComparisonRow> differing;
    for (const ComparisonRow& row : rows)
        if (row.differs)
            differing.insert(QStringLiteral("%1 %2").arg(row.kind).arg(row.index), row);
    QCOMPARE(differing.keys(), (QStringList{"-1 5", "0 15", "0 30", "0 40"}));
    const ComparisonRow& signal = differing["0 15"];
    QVERIFY(hasValueList(15));
    QCOMPARE(signal.left, QStringLiteral("0"));
    QCOMPARE(signal.leftChoice, valueListTexts(15).value(itemForValue(15, 0)));
    QVERIFY(!signal.leftChoice.isEmpty() && signal.leftChoice != signal.rightChoice);
    QCOMPARE(signal.right, QStringLiteral("3"));
    QCOMPARE(signal.rightChoice, valueListTexts(15).value(itemForValue(15, 3)));
    QCOMPARE(differing["0 30"].left, QStringLiteral("-56"));
    QCOMPARE(differing["0 30"].right, QStringLiteral("-55"));
    QCOMPARE(differing["0 40"].left, QString());
    QCOMPARE(differing["0 40"].right, QStringLiteral("50"));
    QCOMPARE(differing["-1 5"].left, QStringLiteral("P0042317"));
    QCOMPARE(differing["-1 5"].right, QString::fromLatin1("P\xe8\xed"
                                                          "42"));
    // A label's unit of measure stands apart.
    for (const ComparisonRow& row : rows)
        QVERIFY2(!row.label.contains(u'['), qPrintable(row.label));
}

QTEST_MAIN(TestUnitRecords)
#include "tst_unitrecords.moc"
