#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceSheet.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTest>

class TestServiceSheet : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void gridShapes();
    void gridCellsStayApart();
    void outsideCells_data();
    void outsideCells();
    void cellChangedOnlyOnChange();
    void parameterGridWrites();
    void napis_data();
    void napis();
    void headers();
    void productionRows_data();
    void productionRows();
    void parameterRowsReset();
};

static QList<QVariant> changed(int grid, int col, int row) {
    return {grid, col, row};
}

void TestServiceSheet::initTestCase() {
    LangIndex = 1; // English, so a translated text differs from its key wherever one exists
    QLoggingCategory::setFilterRules(QStringLiteral("kovr.lang.warning=false"));
}

void TestServiceSheet::gridShapes() {
    ServiceSheet sheet;
    const struct {
        const SheetGrid& grid;
        int columns, rows;
    } shapes[] = {{sheet.left(), 5, 43},
                  {sheet.right(), 5, 45},
                  {sheet.production(), 3, 14},
                  {sheet.lastErrors(), 1, 4},
                  {sheet.lastResets(), 1, 4}};
    for (int id = 0; id < ServiceSheet::GridCount; ++id) {
        QCOMPARE(shapes[id].grid.columnCount(), shapes[id].columns);
        QCOMPARE(shapes[id].grid.rowCount(), shapes[id].rows);
        QCOMPARE(&sheet.grid(id), &shapes[id].grid);
    }
    QCOMPARE(sheet.grid(5).rowCount(), 0);
    QCOMPARE(sheet.grid(-1).columnCount(), 0);
}

// A grid that is wider than tall and vice versa: a swapped column and row would land elsewhere.
void TestServiceSheet::gridCellsStayApart() {
    SheetGrid grid(3, 2);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            QVERIFY(grid.setCell(col, row, QStringLiteral("%1,%2").arg(col).arg(row)));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            QCOMPARE(grid.cell(col, row), QStringLiteral("%1,%2").arg(col).arg(row));
}

void TestServiceSheet::outsideCells_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::newRow("column -1") << -1 << 0;
    QTest::newRow("row -1") << 0 << -1;
    QTest::newRow("column past end") << 3 << 0;
    QTest::newRow("row past end") << 0 << 2;
    QTest::newRow("row as column") << 1 << 2;
}

void TestServiceSheet::outsideCells() {
    QFETCH(int, col);
    QFETCH(int, row);
    SheetGrid grid(3, 2);
    QVERIFY(!grid.contains(col, row));
    QVERIFY(!grid.setCell(col, row, QStringLiteral("x")));
    QVERIFY(grid.cell(col, row).isEmpty());
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            QVERIFY(grid.cell(c, r).isEmpty());
}

void TestServiceSheet::cellChangedOnlyOnChange() {
    ServiceSheet sheet;
    QSignalSpy spy(&sheet, &ServiceSheet::cellChanged);

    sheet.setCell(ServiceSheet::LastErrorsGrid, 0, 2, QStringLiteral("E1"));
    sheet.setCell(ServiceSheet::LastErrorsGrid, 0, 2, QStringLiteral("E1"));
    sheet.setCell(ServiceSheet::ProductionGrid, 2, 13, QString());          // already empty
    sheet.setCell(ServiceSheet::LastResetsGrid, 0, 4, QStringLiteral("R")); // below the grid
    sheet.setCell(ServiceSheet::LastResetsGrid, 1, 0, QStringLiteral("R")); // beside it
    sheet.setCell(5, 0, 0, QStringLiteral("R"));                            // no such grid
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0), changed(ServiceSheet::LastErrorsGrid, 0, 2));
    QCOMPARE(sheet.lastErrors().cell(0, 2), QStringLiteral("E1"));

    sheet.setCell(ServiceSheet::LastErrorsGrid, 0, 2, QString());
    QCOMPARE(spy.size(), 2);
    QVERIFY(sheet.cell(ServiceSheet::LastErrorsGrid, 0, 2).isEmpty());
}

void TestServiceSheet::parameterGridWrites() {
    ServiceSheet sheet;
    QSignalSpy spy(&sheet, &ServiceSheet::cellChanged);
    sheet.ServiceStringGridWrite(0, ServiceSheet::ValueColumn, 42, QStringLiteral("232"));
    sheet.ServiceStringGridWrite(1, ServiceSheet::ErrorColumn, 44, QStringLiteral("X"));
    sheet.ServiceStringGridWrite(0, ServiceSheet::ValueColumn, 43, QStringLiteral("1"));
    sheet.ServiceStringGridWrite(2, 2, 1, QStringLiteral("1.0")); // only the parameter grids
    sheet.ServiceStringGridWrite(-1, 0, 1, QStringLiteral("1.0"));
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.at(0), changed(0, 4, 42));
    QCOMPARE(spy.at(1), changed(1, 2, 44));
    QCOMPARE(sheet.left().cell(4, 42), QStringLiteral("232"));
    QCOMPARE(sheet.right().cell(2, 44), QStringLiteral("X"));
    QVERIFY(sheet.production().cell(2, 1).isEmpty());
}

void TestServiceSheet::napis_data() {
    QTest::addColumn<int>("grid");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("key");
    QTest::newRow("left 41") << 0 << 41 << "RidiciSignal0mA";
    QTest::newRow("left 42") << 0 << 42 << "RidiciSignal20mA";
    QTest::newRow("right 3") << 1 << 3 << "Necitlivost [%]";
    QTest::newRow("right 29") << 1 << 29 << "TaktMod";
    QTest::newRow("header row") << 0 << 0 << "";
    QTest::newRow("below the left grid") << 0 << 43 << "";
    QTest::newRow("production grid") << 2 << 1 << "";
}

void TestServiceSheet::napis() {
    QFETCH(int, grid);
    QFETCH(int, row);
    QFETCH(QString, key);
    ServiceSheet sheet;
    sheet.setCell(grid, 0, row, QStringLiteral("before"));
    const QString before = sheet.cell(grid, 0, row);
    sheet.ServiceStringGridWriteNapis(grid, 0, row);
    QCOMPARE(sheet.cell(grid, 0, row), key.isEmpty() ? before : LangText(key));
}

void TestServiceSheet::headers() {
    ServiceSheet sheet;
    sheet.ServiceStringGridWrite(0, ServiceSheet::ValueColumn, 1, QStringLiteral("5"));
    sheet.applyHeaders();
    const QString headers[] = {LangText(QStringLiteral("Parametr")),
                               LangText(QStringLiteral("Změna")), LangText(QStringLiteral("Chyba")),
                               LangText(QStringLiteral("Přístup")), QString()};
    for (int col = 0; col < 5; ++col) {
        QCOMPARE(sheet.left().cell(col, 0), headers[col]);
        QCOMPARE(sheet.right().cell(col, 0), headers[col]);
    }
    QCOMPARE(sheet.production().cell(0, 0), LangText(QStringLiteral("Text")));
    QCOMPARE(sheet.production().cell(1, 0), headers[3]);
    QVERIFY(sheet.production().cell(2, 0).isEmpty());
    // Parameter rows and the last-errors/resets lists are data, not captions.
    QCOMPARE(sheet.left().cell(4, 1), QStringLiteral("5"));
    QVERIFY(sheet.left().cell(0, 1).isEmpty());
    QVERIFY(sheet.lastErrors().cell(0, 0).isEmpty());
    QVERIFY(sheet.lastResets().cell(0, 0).isEmpty());

    QSignalSpy spy(&sheet, &ServiceSheet::cellChanged);
    sheet.applyHeaders();
    QCOMPARE(spy.size(), 0);
}

void TestServiceSheet::productionRows_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("notWritable");
    QTest::newRow("1") << 1 << "FW snímač" << true;
    QTest::newRow("2") << 2 << "FW displej int." << true;
    QTest::newRow("3") << 3 << "FW displej ext." << true;
    QTest::newRow("4") << 4 << "FW displej ED" << true;
    QTest::newRow("5") << 5 << "FW fieldbus" << true;
    QTest::newRow("6") << 6 << "Datum změny" << false;
    QTest::newRow("7") << 7 << "Poslední změna" << true;
    QTest::newRow("8") << 8 << "Výrobní číslo elektroniky" << false;
    QTest::newRow("9") << 9 << "Datum výroby elektroniky" << false;
    QTest::newRow("10") << 10 << "Výrobní číslo pohonu" << false;
    QTest::newRow("11") << 11 << "Datum montáže na pohon" << false;
    QTest::newRow("12") << 12 << "Výrobní číslo převodovky" << false;
    QTest::newRow("13") << 13 << "Datum výroby převodovky" << false;
}

void TestServiceSheet::productionRows() {
    QFETCH(int, row);
    QFETCH(QString, key);
    QFETCH(bool, notWritable);
    ServiceSheet sheet;
    sheet.setCell(ServiceSheet::ProductionGrid, ServiceSheet::ProductionAccessColumn, row,
                  QStringLiteral("stale"));
    sheet.applyHeaders();
    QCOMPARE(sheet.production().cell(ServiceSheet::LabelColumn, row), LangText(key));
    QCOMPARE(sheet.production().cell(ServiceSheet::ProductionAccessColumn, row),
             notWritable ? LangText(QStringLiteral("NE")) : QString());
    QVERIFY(sheet.production().cell(ServiceSheet::TextColumn, row).isEmpty());
}

void TestServiceSheet::parameterRowsReset() {
    ServiceSheet sheet;
    sheet.applyHeaders();
    sheet.ServiceStringGridWrite(1, ServiceSheet::ValueColumn, 44, QStringLiteral("17"));
    sheet.ServiceStringGridWrite(0, ServiceSheet::ChangedColumn, 1, QStringLiteral("X"));
    sheet.resetParameterRows();
    const int rows[] = {ParameterCatalogue::LeftRows, ParameterCatalogue::RightRows};
    for (int grid = 0; grid < 2; ++grid) {
        for (int row = 1; row <= rows[grid]; ++row) {
            QCOMPARE(sheet.cell(grid, ServiceSheet::ValueColumn, row), QStringLiteral("0"));
            QCOMPARE(sheet.cell(grid, ServiceSheet::NameColumn, row),
                     LangText(ParameterCatalogue::nameKey(grid, row)));
        }
        QCOMPARE(sheet.cell(grid, ServiceSheet::NameColumn, 0),
                 LangText(QStringLiteral("Parametr")));
        QVERIFY(sheet.cell(grid, ServiceSheet::ValueColumn, 0).isEmpty());
    }
    QCOMPARE(sheet.left().cell(ServiceSheet::ChangedColumn, 1), QStringLiteral("X"));
    QCOMPARE(sheet.right().cell(ServiceSheet::NameColumn, 44),
             LangText(QStringLiteral("CasKontrolySpojeni")));
}

QTEST_GUILESS_MAIN(TestServiceSheet)
#include "tst_servicesheet.moc"
