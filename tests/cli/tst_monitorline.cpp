// The lines of `kovr-cli monitor`: the CSV a script reads is the same in every language.

#include "cli/MonitorLine.h"
#include "device/MonitorDisplay.h"
#include "image/DeviceImage.h"
#include "lang/Lang.h"

#include <QTest>

class TestMonitorLine : public QObject {
    Q_OBJECT
private slots:
    void csvIsTheSameInEveryLanguage_data();
    void csvIsTheSameInEveryLanguage();
};

void TestMonitorLine::csvIsTheSameInEveryLanguage_data() {
    QTest::addColumn<int>("motion");
    QTest::addColumn<QString>("token");
    QTest::newRow("stopped") << 0 << QStringLiteral("stopped");
    QTest::newRow("opening") << 1 << QStringLiteral("opening");
    QTest::newRow("closing") << 2 << QStringLiteral("closing");
    QTest::newRow("not reported yet") << -1 << QString();
}

void TestMonitorLine::csvIsTheSameInEveryLanguage() {
    QFETCH(int, motion);
    QFETCH(QString, token);
    static const char* const motionKeys[] = {"Stop", "Otevirat", "Zavirat"};
    DeviceImage image;
    image.Poloha_Proc = 7612;
    image.Cas_Chodu_Hodiny = 1234;
    image.Cas_Chodu_Minuty = 56;
    const QDateTime at(QDate(2026, 12, 10), QTime(20, 14, 44, 123), Qt::OffsetFromUTC, 3600);
    const QString expected = QStringLiteral("2026-12-10T20:14:44.123+01:00,76.12,42440,12.0,747,"
                                            "247,23,74096,%1,00010000")
                                 .arg(token);
    QStringList texts;
    for (int language = 0; language < 4; ++language) {
        LangIndex = language;
        // What the decoder leaves after a record in this language.
        MonitorDisplay display;
        display.Edit1 = QStringLiteral("42440");
        display.Edit2 = QStringLiteral("12.0");
        display.Edit4 = QStringLiteral("747");
        display.Edit12 = QStringLiteral("247");
        display.Edit5 = QStringLiteral("23");
        display.Edit6 = QStringLiteral("1234:56");
        display.motorMotion = motion;
        if (motion >= 0) display.Edit3 = LangText(QString::fromLatin1(motionKeys[motion]));
        image.Chyby_Akt = {0x00, 0x01, 0x00, 0x00};
        QCOMPARE(MonitorLine::csv(image, display, at), expected);
        texts << MonitorLine::text(image, display, at);
    }
    LangIndex = 0;
    // The lines for people stay in the chosen language.
    if (motion > 0) QVERIFY(texts[0] != texts[1]);
    QCOMPARE(MonitorLine::csvHeader().count(QLatin1Char(',')) + 1,
             MonitorLine::csv(image, MonitorDisplay{}, QDateTime::currentDateTime())
                     .count(QLatin1Char(',')) +
                 1);
}

QTEST_GUILESS_MAIN(TestMonitorLine)
#include "tst_monitorline.moc"
