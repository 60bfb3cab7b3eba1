#include "ui/SetupForm.h"

#include "lang/Lang.h"
#include "params/Setup.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int PortCount = 20;
constexpr int DeviceLabelWidth = 150;

// The port list's columns, by the keys of their headers.
const char* const PortColumns[] = {"SloupecZarizeni", "SloupecPopis", "SloupecVyrobce",
                                   "SloupecSerioveCislo", "SloupecTrvalaCesta"};
constexpr int PortColumnCount = int(std::size(PortColumns));

// Width of the widest text of `key` in any language, so that the dialog keeps one size
// whichever language is chosen.
int widestText(const QFontMetrics& metrics, const QString& key) {
    int widest = metrics.horizontalAdvance(key);
    for (const QString& text : LangTexts(key))
        widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest;
}

} // namespace

TSetupForm::TSetupForm(TSetup& setup, std::function<QString(int)> deviceName,
                       std::function<bool()> linkRunning, QWidget* parent)
    : QDialog(parent)
    , m_setup(setup)
    , m_deviceName(std::move(deviceName))
    , m_linkRunning(std::move(linkRunning)) {
    setObjectName(QStringLiteral("SetupForm"));
    setModal(true);

    // The language names are written in their own language, never translated.
    RadioGroup1 = new QGroupBox(QStringLiteral("Jazyk/Language/Język"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    languageButtons = new QButtonGroup(this);
    auto* languageLayout = new QVBoxLayout(RadioGroup1);
    const QStringList languages{QStringLiteral("Česky"), QStringLiteral("English"),
                                QStringLiteral("Polski"), QStringLiteral("Русский")};
    for (int i = 0; i < languages.size(); ++i) {
        auto* item = new QRadioButton(languages.at(i), RadioGroup1);
        item->setObjectName(QStringLiteral("rbLang%1").arg(i));
        languageButtons->addButton(item, i);
        languageLayout->addWidget(item);
    }
    languageLayout->addStretch();

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    cbComPort = new QComboBox(GroupBox1);
    cbComPort->setObjectName(QStringLiteral("cbComPort"));
    for (int n = 1; n <= PortCount; ++n)
        cbComPort->addItem(QStringLiteral("COM %1").arg(n));
    cbComPort->setMaxVisibleItems(PortCount);
    lblDevice = new QLabel(GroupBox1);
    lblDevice->setObjectName(QStringLiteral("lblDevice"));
    lblDevice->setFixedWidth(DeviceLabelWidth);
    btnRestart = new QPushButton(QStringLiteral("Restart"), GroupBox1);
    btnRestart->setObjectName(QStringLiteral("btnRestart"));
    btnRestart->setAutoDefault(false);
    auto* portLayout = new QGridLayout(GroupBox1);
    portLayout->addWidget(cbComPort, 0, 0);
    portLayout->addWidget(lblDevice, 0, 1);
    portLayout->addWidget(btnRestart, 1, 0);
    portLayout->setRowStretch(2, 1);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);

    const QFontMetrics metrics(font());
    const int buttonWidth = std::max(75, widestText(metrics, QStringLiteral("Storno")) +
                                             2 * metrics.averageCharWidth());
    OKBtn->setMinimumWidth(buttonWidth);
    CancelBtn->setMinimumWidth(buttonWidth);
    GroupBox1->setMinimumWidth(widestText(metrics, QStringLiteral("Komunikace")) +
                               4 * metrics.averageCharWidth());

    GroupBox2 = new QGroupBox(this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    tblPorts = new QTableWidget(0, PortColumnCount, GroupBox2);
    tblPorts->setObjectName(QStringLiteral("tblPorts"));
    tblPorts->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblPorts->setSelectionMode(QAbstractItemView::SingleSelection);
    tblPorts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblPorts->verticalHeader()->hide();
    tblPorts->horizontalHeader()->setStretchLastSection(true);
    tblPorts->setWordWrap(false);
    tblPorts->setMinimumSize(640, 130);
    auto* listLayout = new QVBoxLayout(GroupBox2);
    listLayout->addWidget(tblPorts);
    GroupBox3 = new QGroupBox(this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    edRecords = new QLineEdit(GroupBox3);
    edRecords->setObjectName(QStringLiteral("edRecords"));
    btnRecords = new QPushButton(QStringLiteral("..."), GroupBox3);
    btnRecords->setObjectName(QStringLiteral("btnRecords"));
    btnRecords->setAutoDefault(false);
    auto* recordsLayout = new QHBoxLayout(GroupBox3);
    recordsLayout->addWidget(edRecords, 1);
    recordsLayout->addWidget(btnRecords);
    m_rescan = new QTimer(this);
    m_rescan->setInterval(1000); // an adapter plugged in shows up within a second

    auto* groups = new QHBoxLayout;
    groups->addWidget(RadioGroup1);
    groups->addWidget(GroupBox1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(GroupBox2);
    layout->addWidget(GroupBox3);
    layout->addLayout(buttons);

    connect(cbComPort, &QComboBox::currentIndexChanged, this, &TSetupForm::showDevice);
    connect(btnRestart, &QPushButton::clicked, this, &TSetupForm::btnRestartClick);
    connect(OKBtn, &QPushButton::clicked, this, &TSetupForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(tblPorts, &QTableWidget::currentCellChanged, this,
            [this](int row) { choosePort(row); });
    connect(m_rescan, &QTimer::timeout, this, &TSetupForm::rescanPorts);
    connect(btnRecords, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(
            this, GroupBox3->title(),
            edRecords->text().isEmpty() ? edRecords->placeholderText() : edRecords->text());
        if (!folder.isEmpty()) edRecords->setText(QDir::toNativeSeparators(folder));
    });

    applyCaptions();
    showDevice(cbComPort->currentIndex());
    // Every translated text already has room (widestText), so one size serves all languages.
    setFixedSize(sizeHint());
}

void TSetupForm::applyCaptions() {
    setWindowTitle(LangText(QStringLiteral("Nastavení")));
    GroupBox1->setTitle(LangText(QStringLiteral("Komunikace")));
    CancelBtn->setText(LangText(QStringLiteral("Storno")));
    GroupBox2->setTitle(LangAddedText(QStringLiteral("PortyPocitace")));
    GroupBox3->setTitle(LangAddedText(QStringLiteral("SlozkaZaznamu")));
    QStringList headers;
    for (const char* key : PortColumns)
        headers << LangAddedText(key);
    tblPorts->setHorizontalHeaderLabels(headers);
}

void TSetupForm::setRecordsFolder(const QString& folder, const QString& defaultFolder) {
    m_recordsFolder = folder;
    edRecords->setText(QDir::toNativeSeparators(folder));
    edRecords->setPlaceholderText(QDir::toNativeSeparators(defaultFolder));
}

void TSetupForm::setPortInfo(const PortInfoSource* source) {
    m_portInfo = source;
    m_ports.clear();
    tblPorts->setRowCount(0);
    rescanPorts();
}

void TSetupForm::hideEvent(QHideEvent* event) {
    m_rescan->stop();
    QDialog::hideEvent(event);
}

void TSetupForm::setRescanInterval(int rescanMs) {
    m_rescan->setInterval(rescanMs);
}

void TSetupForm::rescanPorts() {
    const QList<SerialPortEntry> ports =
        m_portInfo ? m_portInfo->ports() : QList<SerialPortEntry>{};
    if (ports == m_ports) return;
    m_ports = ports;
    m_filling = true;
    tblPorts->clearContents();
    tblPorts->setRowCount(int(ports.size()));
    for (int row = 0; row < ports.size(); ++row) {
        const SerialPortEntry& port = ports.at(row);
        const QString texts[PortColumnCount] = {port.device, port.description, port.manufacturer,
                                                port.serialNumber, port.stablePath};
        for (int column = 0; column < PortColumnCount; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setToolTip(texts[column]);
            tblPorts->setItem(row, column, item);
        }
    }
    tblPorts->resizeColumnsToContents();
    m_filling = false;
    selectBoundRow();
}

void TSetupForm::selectBoundRow() {
    const int index = cbComPort->currentIndex();
    const QString device = deviceFor(index);
    int found = -1;
    for (int row = 0; row < m_ports.size() && found < 0; ++row)
        if (m_ports.at(row).opensAs(device)) found = row;
    m_filling = true;
    if (found >= 0) {
        tblPorts->setCurrentCell(found, 0);
    } else {
        tblPorts->setCurrentCell(-1, -1);
        tblPorts->clearSelection();
    }
    m_filling = false;
}

void TSetupForm::choosePort(int row) {
    const int index = cbComPort->currentIndex();
    if (m_filling || row < 0 || row >= m_ports.size() || index < 0) return;
    m_pending.insert(index + 1, m_ports.at(row).bindingPath());
    showDevice(index);
}

void TSetupForm::confirmBindings() {
    const QMap<int, QString> chosen = std::exchange(m_pending, {});
    for (auto it = chosen.cbegin(); it != chosen.cend(); ++it)
        emit portBound(it.key(), it.value());
}

void TSetupForm::showEvent(QShowEvent* event) {
    // Only a real show, not the window system re-showing a minimised dialog.
    if (!event->spontaneous()) FormActivate();
    m_rescan->start();
    QDialog::showEvent(event);
}

void TSetupForm::FormActivate() {
    if (QAbstractButton* item = languageButtons->button(languageIndex(m_setup)))
        item->setChecked(true);
    m_pending.clear(); // what Storno left behind
    edRecords->setText(QDir::toNativeSeparators(m_recordsFolder));
    rescanPorts();
    // A port outside the list (0, above 20) leaves the list without a selection.
    const int index = portNumber(m_setup) - 1;
    cbComPort->setCurrentIndex(index >= 0 && index < PortCount ? index : -1);
    showDevice(cbComPort->currentIndex());
}

QString TSetupForm::chosenPort() const {
    // No selection stores "0"; the next start reads it as port 1.
    return QString::number(cbComPort->currentIndex() + 1);
}

QString TSetupForm::deviceFor(int index) const {
    if (index < 0) return {};
    if (const auto chosen = m_pending.constFind(index + 1); chosen != m_pending.cend())
        return *chosen;
    return m_deviceName ? m_deviceName(index + 1) : QString();
}

void TSetupForm::showDevice(int index) {
    const QString device = deviceFor(index);
    lblDevice->setToolTip(device);
    lblDevice->setText(
        lblDevice->fontMetrics().elidedText(device, Qt::ElideMiddle, lblDevice->width()));
    if (!m_filling) selectBoundRow();
}

void TSetupForm::btnRestartClick() {
    m_setup.Port = chosenPort();
    confirmBindings();
    emit restartRequested();
}

void TSetupForm::OKBtnClick() {
    const int language = std::max(0, languageButtons->checkedId());
    m_setup.Lang = QString::number(language);
    LangIndex = language;
    m_setup.Port = chosenPort();
    confirmBindings();
    const QString records = QDir::fromNativeSeparators(edRecords->text().trimmed());
    if (records != m_recordsFolder) {
        m_recordsFolder = records;
        emit recordsFolderChosen(records);
    }
    applyCaptions();
    emit captionsRequested();
    // A running link keeps its port until the next restart.
    if (!(m_linkRunning && m_linkRunning())) emit restartRequested();
    accept();
}
