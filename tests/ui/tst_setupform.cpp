#include "lang/Lang.h"
#include "params/Setup.h"
#include "ui/SetupForm.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// This machine's ports as a test wants them; counts how often the dialog looked.
class FakePortInfo : public PortInfoSource {
public:
    QList<SerialPortEntry> list;
    mutable int scans = 0;
    QList<SerialPortEntry> ports() const override {
        ++scans;
        return list;
    }
};

const SerialPortEntry Ftdi{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"),
                           QStringLiteral("FTDI"), QStringLiteral("A10K2LQ9"),
                           QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_A10K2LQ9-if00-port0")};
const SerialPortEntry Onboard{QStringLiteral("/dev/ttyT3"), {}, {}, {}, {}};

} // namespace

// A shown (never exec'd) dialog over a TSetup, with the program's side played by a log.
class TestSetupForm : public QObject {
    Q_OBJECT

private:
    TSetup m_setup;
    bool m_linkRunning = false;
    // "captions" / "restart Port=<n>" / "bind COM<n>=<device>", in the order they were asked for
    QStringList m_log;
    FakePortInfo m_ports;
    std::unique_ptr<TSetupForm> m_form;

    TSetupForm& makeForm() {
        m_form = std::make_unique<TSetupForm>(
            m_setup, [](int n) { return QStringLiteral("/dev/ttyT%1").arg(n); },
            [this] { return m_linkRunning; });
        connect(m_form.get(), &TSetupForm::captionsRequested, this,
                [this] { m_log << QStringLiteral("captions"); });
        connect(m_form.get(), &TSetupForm::restartRequested, this,
                [this] { m_log << QStringLiteral("restart Port=") + m_setup.Port; });
        connect(m_form.get(), &TSetupForm::portBound, this, [this](int number, const QString& dev) {
            m_log << QStringLiteral("bind COM%1=%2").arg(number).arg(dev);
        });
        m_form->setPortInfo(&m_ports);
        return *m_form;
    }

private slots:
    void init() {
        m_setup = TSetup();
        m_linkRunning = false;
        m_log.clear();
        m_ports.list = {Onboard, Ftdi};
        m_ports.scans = 0;
        LangIndex = 0;
    }
    void cleanup() {
        m_form.reset();
        LangIndex = 0;
    }

    void showingSelectsTheSettings_data() {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("device");
        QTest::newRow("defaults") << "0"
                                  << "1" << 0 << 0 << "/dev/ttyT1";
        QTest::newRow("last items") << "3"
                                    << "20" << 3 << 19 << "/dev/ttyT20";
        QTest::newRow("port above the list") << "1"
                                             << "21" << 1 << -1 << "";
        QTest::newRow("port 0 from a dialog without a selection") << "2"
                                                                  << "0" << 2 << -1 << "";
        QTest::newRow("not numbers") << "cz"
                                     << "COM3" << 0 << 0 << "/dev/ttyT1";
        QTest::newRow("empty texts") << ""
                                     << "" << 0 << 0 << "/dev/ttyT1";
        QTest::newRow("language outside 0..3") << "7"
                                               << "2" << 0 << 1 << "/dev/ttyT2";
    }

    void showingSelectsTheSettings() {
        QFETCH(QString, lang);
        QFETCH(QString, port);
        m_setup.Lang = lang;
        m_setup.Port = port;
        TSetupForm& form = makeForm();
        // Something else selected before, so showing has to set both.
        QFETCH(int, language);
        form.languageButtons->button(language == 3 ? 1 : 3)->setChecked(true);
        form.cbComPort->setCurrentIndex(5);
        form.show();
        QCOMPARE(form.languageButtons->checkedId(), language);
        QTEST(form.cbComPort->currentIndex(), "item");
        QTEST(form.lblDevice->toolTip(), "device");
        QCOMPARE(form.lblDevice->text().isEmpty(), form.lblDevice->toolTip().isEmpty());
        QCOMPARE(m_setup.Port, port); // showing changes nothing
        QVERIFY(m_log.isEmpty());
    }

    void deviceLabelFollowsTheList() {
        TSetupForm& form = makeForm();
        form.show();
        form.cbComPort->setCurrentIndex(11);
        QCOMPARE(form.lblDevice->text(), QStringLiteral("/dev/ttyT12"));
        form.cbComPort->setCurrentIndex(-1);
        QVERIFY(form.lblDevice->text().isEmpty());
    }

    void ok_data() {
        QTest::addColumn<bool>("linkRunning");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("link running: port kept for the next restart")
            << true << QStringList{"captions"};
        QTest::newRow("link stopped: restarted on the new port")
            << false << QStringList{"captions", "restart Port=5"};
    }

    void ok() {
        QFETCH(bool, linkRunning);
        m_linkRunning = linkRunning;
        TSetupForm& form = makeForm();
        form.show();
        form.languageButtons->button(2)->click();
        form.cbComPort->setCurrentIndex(4);
        QVERIFY(m_log.isEmpty()); // nothing happens before OK
        form.OKBtn->click();

        QTEST(m_log, "log");
        QCOMPARE(m_setup.Lang, QStringLiteral("2"));
        QCOMPARE(m_setup.Port, QStringLiteral("5"));
        QCOMPARE(LangIndex, 2);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(!form.isVisible());
        // The dialog itself speaks the new language; the language group does not change.
        QCOMPARE(form.windowTitle(), LangTexts(QStringLiteral("Nastavení")).value(2));
        QCOMPARE(form.GroupBox1->title(), LangTexts(QStringLiteral("Komunikace")).value(2));
        QCOMPARE(form.CancelBtn->text(), LangTexts(QStringLiteral("Storno")).value(2));
        QCOMPARE(form.RadioGroup1->title(), QStringLiteral("Jazyk/Language/Język"));
    }

    void recordsFolder_data() {
        QTest::addColumn<QString>("named"); // as kovr.ini names it
        QTest::addColumn<QString>("typed"); // what the technician types; "-" leaves it
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("chosen"); // recordsFolderChosen, in order
        QTest::newRow("a shared folder")
            << ""
            << "/srv/kovr/units" << true << QStringList{"/srv/kovr/units"};
        QTest::newRow("back to the default") << "/srv/kovr/units"
                                             << "" << true << QStringList{""};
        QTest::newRow("unchanged") << "/srv/kovr/units"
                                   << "-" << true << QStringList{};
        QTest::newRow("Storno") << ""
                                << "/srv/kovr/units" << false << QStringList{};
    }
    // The records' folder: the default shown greyed, a change told on OK only, and what Storno
    // left behind gone at the next opening.
    void recordsFolder() {
        QFETCH(QString, named);
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(QStringList, chosen);
        TSetupForm& form = makeForm();
        form.setRecordsFolder(named, QStringLiteral("/home/t/.local/share/KOVR NEVRA/units"));
        QStringList told;
        connect(&form, &TSetupForm::recordsFolderChosen, this,
                [&](const QString& folder) { told << folder; });
        form.show();
        QCOMPARE(form.edRecords->text(), named);
        QCOMPARE(form.edRecords->placeholderText(),
                 QStringLiteral("/home/t/.local/share/KOVR NEVRA/units"));
        if (typed != QLatin1String("-")) form.edRecords->setText(typed);
        (ok ? form.OKBtn : form.CancelBtn)->click();
        QCOMPARE(told, chosen);
        form.show();
        QCOMPARE(form.edRecords->text(), ok && typed != QLatin1String("-") ? typed : named);
    }

    // "0" from a list without a selection survives the file and becomes port 1 at next start.
    void okWithoutSelectionStoresZero() {
        m_setup.Port = QStringLiteral("21");
        m_linkRunning = true;
        TSetupForm& form = makeForm();
        form.show();
        form.OKBtn->click();
        QCOMPARE(m_setup.Port, QStringLiteral("0"));

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("kovr.ini"));
        QVERIFY(m_setup.save(path));
        TSetup next;
        QVERIFY(next.load(path));
        QCOMPARE(next.Port, QStringLiteral("1"));
    }

    void restartThenStornoKeepsTheRestartPort() {
        m_setup.Lang = QStringLiteral("1");
        LangIndex = 1;
        TSetupForm& form = makeForm();
        form.show();
        form.cbComPort->setCurrentIndex(6);
        form.btnRestart->click();
        QCOMPARE(m_log, QStringList{QStringLiteral("restart Port=7")});
        QVERIFY(form.isVisible()); // Restart keeps the dialog open

        form.cbComPort->setCurrentIndex(9);
        form.languageButtons->button(3)->click();
        form.CancelBtn->click();
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QVERIFY(!form.isVisible());
        QCOMPARE(m_setup.Port, QStringLiteral("7"));
        QCOMPARE(m_setup.Lang, QStringLiteral("1"));
        QCOMPARE(LangIndex, 1);
        QCOMPARE(m_log.size(), 1);
    }

    // Every column of every port, headed in the dialog's language; showing selects the port
    // the chosen COM number opens now.
    void portListShowsThePorts() {
        m_setup.Port = QStringLiteral("3");
        LangIndex = 1;
        TSetupForm& form = makeForm();
        form.show();
        QTableWidget* list = form.tblPorts;
        QCOMPARE(list->rowCount(), 2);
        const QStringList ftdi{Ftdi.device, Ftdi.description, Ftdi.manufacturer, Ftdi.serialNumber,
                               Ftdi.stablePath};
        for (int column = 0; column < ftdi.size(); ++column)
            QCOMPARE(list->item(1, column)->text(), ftdi.at(column));
        QCOMPARE(list->horizontalHeaderItem(3)->text(), QStringLiteral("Serial number"));
        QCOMPARE(list->currentRow(), 0); // COM 3 opens /dev/ttyT3
        form.cbComPort->setCurrentIndex(0);
        QVERIFY(list->selectedItems().isEmpty()); // /dev/ttyT1 is not in the list
        QVERIFY(m_log.isEmpty());
    }

    void choosingBindsTheNumber_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("log");
        const QString byId = Ftdi.stablePath;
        QTest::newRow("OK, stable path")
            << 1 << "OKBtn" << QStringList{"bind COM5=" + byId, "captions", "restart Port=5"};
        QTest::newRow("Restart, stable path")
            << 1 << "btnRestart" << QStringList{"bind COM5=" + byId, "restart Port=5"};
        QTest::newRow("OK, no stable path: the device")
            << 0 << "OKBtn" << QStringList{"bind COM5=/dev/ttyT3", "captions", "restart Port=5"};
        QTest::newRow("Storno binds nothing") << 1 << "CancelBtn" << QStringList{};
    }
    void choosingBindsTheNumber() {
        QFETCH(int, row);
        QFETCH(QString, button);
        TSetupForm& form = makeForm();
        form.show();
        form.cbComPort->setCurrentIndex(4);
        form.tblPorts->setCurrentCell(row, 2);
        const QString chosen = row == 1 ? Ftdi.stablePath : Onboard.device;
        QCOMPARE(form.lblDevice->toolTip(), chosen);
        // Another number shows its own device; back on COM 5 the choice is still there.
        form.cbComPort->setCurrentIndex(1);
        QCOMPARE(form.lblDevice->toolTip(), QStringLiteral("/dev/ttyT2"));
        form.cbComPort->setCurrentIndex(4);
        QCOMPARE(form.lblDevice->toolTip(), chosen);
        QCOMPARE(form.tblPorts->currentRow(), row);
        QVERIFY(m_log.isEmpty());
        form.findChild<QPushButton*>(button)->click();
        QTEST(m_log, "log");
        // Shown again, the dialog has forgotten a choice it did not confirm.
        m_log.clear();
        form.hide(); // Restart left it open
        form.show();
        form.cbComPort->setCurrentIndex(4);
        QCOMPARE(form.lblDevice->toolTip(), QStringLiteral("/dev/ttyT5"));
    }

    // An adapter plugged in or pulled shows up while the dialog is open, and only then is
    // the machine asked.
    void listFollowsPluggedAdapters() {
        m_setup.Port = QStringLiteral("3");
        TSetupForm& form = makeForm();
        constexpr int Rescan = 50;
        form.setRescanInterval(Rescan);
        m_ports.list = {Onboard};
        form.show();
        QCOMPARE(form.tblPorts->rowCount(), 1);
        m_ports.list = {Onboard, Ftdi};
        QTRY_COMPARE_WITH_TIMEOUT(form.tblPorts->rowCount(), 2, 3 * Rescan);
        QCOMPARE(form.tblPorts->item(1, 0)->text(), Ftdi.device);
        QCOMPARE(form.tblPorts->currentRow(), 0); // COM 3's port stays selected
        m_ports.list = {Ftdi};
        QTRY_COMPARE_WITH_TIMEOUT(form.tblPorts->rowCount(), 1, 3 * Rescan);
        QVERIFY(form.tblPorts->selectedItems().isEmpty());
        QVERIFY(m_log.isEmpty()); // the list changing binds nothing
        form.hide();
        const int scans = m_ports.scans;
        QTest::qWait(2 * Rescan);
        QCOMPARE(m_ports.scans, scans);
    }

    // One fixed size, and the translated texts have room in every language.
    void fixedSizeFitsEveryLanguage() {
        TSetupForm& form = makeForm();
        form.show();
        const QSize size = form.size();
        QCOMPARE(form.minimumSize(), form.maximumSize());
        for (int language = 0; language < 4; ++language) {
            LangIndex = language;
            form.applyCaptions();
            QCOMPARE(form.size(), size);
            QVERIFY2(form.CancelBtn->width() >= form.CancelBtn->sizeHint().width(),
                     qPrintable(form.CancelBtn->text()));
            const int title =
                form.GroupBox1->fontMetrics().horizontalAdvance(form.GroupBox1->title());
            QVERIFY2(form.GroupBox1->width() > title, qPrintable(form.GroupBox1->title()));
        }
    }
};

QTEST_MAIN(TestSetupForm)
#include "tst_setupform.moc"
