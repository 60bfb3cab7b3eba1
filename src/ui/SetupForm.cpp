#include "ui/SetupForm.h"

#include "lang/Lang.h"
#include "params/Setup.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int PortCount = 20;
constexpr int DeviceLabelWidth = 150;

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

    auto* groups = new QHBoxLayout;
    groups->addWidget(RadioGroup1);
    groups->addWidget(GroupBox1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(buttons);

    connect(cbComPort, &QComboBox::currentIndexChanged, this, &TSetupForm::showDevice);
    connect(btnRestart, &QPushButton::clicked, this, &TSetupForm::btnRestartClick);
    connect(OKBtn, &QPushButton::clicked, this, &TSetupForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    applyCaptions();
    showDevice(cbComPort->currentIndex());
    // Every translated text already has room (widestText), so one size serves all languages.
    setFixedSize(sizeHint());
}

void TSetupForm::applyCaptions() {
    setWindowTitle(LangText(QStringLiteral("Nastavení")));
    GroupBox1->setTitle(LangText(QStringLiteral("Komunikace")));
    CancelBtn->setText(LangText(QStringLiteral("Storno")));
}

void TSetupForm::showEvent(QShowEvent* event) {
    // Only a real show, not the window system re-showing a minimised dialog.
    if (!event->spontaneous()) FormActivate();
    QDialog::showEvent(event);
}

void TSetupForm::FormActivate() {
    if (QAbstractButton* item = languageButtons->button(languageIndex(m_setup)))
        item->setChecked(true);
    // A port outside the list (0, above 20) leaves the list without a selection.
    const int index = portNumber(m_setup) - 1;
    cbComPort->setCurrentIndex(index >= 0 && index < PortCount ? index : -1);
    showDevice(cbComPort->currentIndex());
}

QString TSetupForm::chosenPort() const {
    // No selection stores "0"; the next start reads it as port 1.
    return QString::number(cbComPort->currentIndex() + 1);
}

void TSetupForm::showDevice(int index) {
    const QString device = index >= 0 && m_deviceName ? m_deviceName(index + 1) : QString();
    lblDevice->setToolTip(device);
    lblDevice->setText(
        lblDevice->fontMetrics().elidedText(device, Qt::ElideMiddle, lblDevice->width()));
}

void TSetupForm::btnRestartClick() {
    m_setup.Port = chosenPort();
    emit restartRequested();
}

void TSetupForm::OKBtnClick() {
    const int language = std::max(0, languageButtons->checkedId());
    m_setup.Lang = QString::number(language);
    LangIndex = language;
    m_setup.Port = chosenPort();
    applyCaptions();
    emit captionsRequested();
    // A running link keeps its port until the next restart.
    if (!(m_linkRunning && m_linkRunning())) emit restartRequested();
    accept();
}
