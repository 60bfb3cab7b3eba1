#include "ui/SnimacForm.h"

#include "device/SensorDecoder.h"
#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "link/PollInputs.h"
#include "session/DialogPoll.h"
#include "ui/GaugeWidget.h"
#include "ui/PanelLook.h"
#include "ui/StringGridView.h"
#include "ui/UiFont.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace {

// StringGrid1's row captions, rows 0..9 (row 10 stays empty).
constexpr const char* SensorRowKeys[] = {"PolohaSnímač", "PolohaPřed", "Poloha", "PolohaAbs",
                                         "OCF",          "COF",        "LIN",    "MagINC",
                                         "MagDEC",       "Parita2"};

} // namespace

TSnimacForm::TSnimacForm(const Parts& parts, QWidget* parent)
    : PollDialog(parent)
    , m_parts(parts) {
    setObjectName(QStringLiteral("SnimacForm"));
    setFont(kovrFont());
    applyGroupBoxLook(this);
    setFixedSize(ClientWidth, ClientHeight);

    m_gauge = place<GaugeWidget>(this, u"Gauge1", 8, 8, 387, 21);
    m_gauge->setRange(0, 10000);
    m_edit1 = placeDisplayEdit(this, u"Edit1", 404, 8, 110);

    const QList<int> widths = {CaptionColumn, SensorColumn, SensorColumn, SensorColumn,
                               SensorColumn};
    m_grid2 = new StringGridView(this, u"StringGrid2", widths, 2, 1, 1);
    m_grid2->setFixedPlace(8, 38);
    m_grid1 = new StringGridView(this, u"StringGrid1", widths, 11, 1, 0);
    m_grid1->setFixedPlace(8, 86);
    // Display only: nothing in it is edited or selected.
    m_grid1->setCellsEditable(false);
    m_grid1->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid1->setFocusPolicy(Qt::NoFocus);

    placeLabel(this, u"Label1", "Rychlost", 404, 40, 100);
    m_trackBar = place<QSlider>(this, u"TrackBar1", 404, 58, 258, 28);
    m_trackBar->setOrientation(Qt::Horizontal);
    m_trackBar->setRange(0, 9);
    m_trackBar->setTickPosition(QSlider::TicksBelow);
    m_trackBar->setTickInterval(1);
    m_trackBar->setPageStep(1);
    m_trackBar->setValue(m_parts.inputs.sensorSpeed);
    connect(m_trackBar, &QSlider::valueChanged, this,
            [this](int speed) { m_parts.inputs.sensorSpeed = speed; });

    struct Command {
        QStringView name;
        const char* text;
        LinkRequest request;
        QWidget* parent;
        int left, top;
    };
    auto* group = place<QGroupBox>(this, u"GroupBox1", 404, 128, 258, 136);
    group->setTitle(QStringLiteral("Kalibrace"));
    const Command commands[] = {
        {u"Button1", "Zavírat", LinkRequest::SensorMotorClose, this, 404, 94},
        {u"Button3", "Stop", LinkRequest::SensorMotorStop, this, 495, 94},
        {u"Button2", "Otevírat", LinkRequest::SensorMotorOpen, this, 586, 94},
        {u"Button4", "Start", LinkRequest::SensorCalibrationStart, group, 12, 22},
        {u"Button5", "Stop", LinkRequest::SensorCalibrationStop, group, 92, 22},
    };
    for (const Command& c : commands) {
        auto* b = place<QPushButton>(c.parent, c.name, c.left, c.top, 76, 25);
        b->setText(QString::fromUtf8(c.text));
        const LinkRequest request = c.request;
        connect(b, &QPushButton::clicked, this, [this, request] { emit linkRequested(request); });
    }
    // The status texts run up to some 36 characters: Edit2 takes the group's whole width.
    placeLabel(group, u"Label2", "Průběh", 12, 54, 80);
    m_edit2 = placeDisplayEdit(group, u"Edit2", 12, 71, 234);
    placeLabel(group, u"Label3", "Čítač", 12, 104, 44);
    m_edit4 = placeDisplayEdit(group, u"Edit4", 58, 101, 50);
    placeLabel(group, u"Label4", "Rychlost", 124, 104, 60);
    m_edit3 = placeDisplayEdit(group, u"Edit3", 186, 101, 50);

    auto* ok = place<QPushButton>(this, u"OKBtn", 496, 296, 80, 25);
    ok->setText(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = place<QPushButton>(this, u"CancelBtn", 582, 296, 80, 25);
    cancel->setText(QStringLiteral("Storno"));
    connect(ok, &QPushButton::clicked, this, [this] {
        QStringList offsets;
        for (int col = 1; col <= SensorDisplay::Sensors; ++col)
            offsets.append(m_grid2->cell(col, 1));
        emit offsetsTaken(offsets);
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid2, &StringGridView::cellEdited, this, &TSnimacForm::offsetEdited);

    // The empty last row is current, so that no sensor cell shows selected.
    m_grid1->setCurrentCell(10, 0);
    applyCaptions();
}

void TSnimacForm::applyCaptions() {
    setWindowTitle(LangText(QStringLiteral("Snímače")));
    m_grid2->setCell(0, 0, LangText(QStringLiteral("Snimac")));
    for (int col = 1; col <= SensorDisplay::Sensors; ++col)
        m_grid2->setCell(col, 0, QString::number(col));
    m_grid2->setCell(0, 1, LangText(QStringLiteral("Offset")));
    for (int row = 0; row < int(std::size(SensorRowKeys)); ++row)
        m_grid1->setCell(0, row, LangText(QString::fromUtf8(SensorRowKeys[row])));
}

void TSnimacForm::offsetEdited(int col, int row) {
    if (row != 1 || col < 1 || col > SensorDisplay::Sensors) return;
    const QString text = m_grid2->cell(col, row);
    m_parts.display.offsets[col - 1] = text;
    m_parts.image.ParB[2][col - 1] = offsetFromText(text);
}

void TSnimacForm::render() {
    const SensorDisplay& d = m_parts.display;
    m_gauge->setValue(d.gauge);
    m_edit1->setText(d.absolute);
    m_grid2->setEnabled(d.offsetsEditable);
    for (int i = 0; i < SensorDisplay::Sensors; ++i) {
        m_grid2->setCell(i + 1, 1, d.offsets[i]);
        for (int row = 0; row < SensorDisplay::SensorRows; ++row)
            m_grid1->setCell(i + 1, row, d.sensors[i][row]);
    }
    m_edit2->setText(d.status);
    m_edit3->setText(d.speed);
    m_edit4->setText(d.counter);
}

void TSnimacForm::FormActivate() {
    if (m_parts.poll.isActive()) return;
    for (int i = 0; i < SensorDisplay::Sensors; ++i)
        m_parts.display.offsets[i] = QString::number(m_parts.image.ParB[2][i]);
    render();
    m_parts.poll.activate();
}

void TSnimacForm::FormDeactivate() {
    if (m_parts.poll.isActive()) m_parts.poll.deactivate();
}
