#include "ui/MomentForm.h"

#include "device/TorqueDecoder.h"
#include "lang/Lang.h"
#include "session/DialogPoll.h"
#include "session/TorqueBench.h"
#include "ui/PanelLook.h"
#include "ui/StringGridView.h"
#include "ui/UiFont.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QPushButton* button(QWidget* parent, QStringView name, const char* text, int left, int top) {
    auto* b = place<QPushButton>(parent, name, left, top, 90, 25);
    b->setText(QString::fromUtf8(text));
    return b;
}

} // namespace

TMomentForm::TMomentForm(const Parts& parts, QWidget* parent)
    : PollDialog(parent)
    , m_parts(parts) {
    setObjectName(QStringLiteral("MomentForm"));
    setFont(kovrFont());
    applyGroupBoxLook(this);
    setFixedSize(ClientWidth, ClientHeight);

    m_group1 = place<QGroupBox>(this, u"GroupBox1", 8, 4, 504, 56);
    m_group1->setTitle(QStringLiteral("Moment absolutní"));
    m_edit3 = placeDisplayEdit(m_group1, u"Edit3", 12, 24, 100);
    auto* button3 = button(m_group1, u"Button3", "Nastavit", 372, 22);

    m_group2 = place<QGroupBox>(this, u"GroupBox2", 8, 66, 504, 150);
    m_group2->setTitle(QStringLiteral("Ovládání kalibrace momentů"));
    placeLabel(m_group2, u"Label1", "Způsob kalibrace", 12, 27, LabelWidth);
    m_combo3 = place<QComboBox>(m_group2, u"ComboBox3", 140, 24, 120, 21);
    m_combo3->addItems({QStringLiteral("staticky"), QStringLiteral("dynamicky")});
    placeLabel(m_group2, u"Label2", "Smysl stolice", 12, 54, LabelWidth);
    m_combo1 = place<QComboBox>(m_group2, u"ComboBox1", 140, 51, 120, 21);
    m_combo1->addItems({QStringLiteral("0/4-20 mA"), QStringLiteral("20-4/0 mA")});
    m_grid1 = new StringGridView(m_group2, u"StringGrid1",
                                 {CaptionColumn, ValueColumn, ValueColumn}, 3, 1, 1);
    m_grid1->setFixedPlace(12, 80);
    auto* button4 = button(m_group2, u"Button4", "Otevírat", 372, 24);
    auto* button2 = button(m_group2, u"Button2", "Zavírat", 372, 54);
    auto* button5 = button(m_group2, u"Button5", "Stop", 372, 84);

    m_group3 = place<QGroupBox>(this, u"GroupBox3", 8, 222, 504, 160);
    m_group3->setTitle(QStringLiteral("Stav kalibrace momentů"));
    placeLabel(m_group3, u"Label3", "Průběh", 12, 27, LabelWidth);
    m_edit2 = placeDisplayEdit(m_group3, u"Edit2", 140, 24, 220);
    placeLabel(m_group3, u"Label4", "Moment stolice [mA]", 12, 54, LabelWidth);
    m_edit4 = placeDisplayEdit(m_group3, u"Edit4", 140, 51, 100);
    m_grid2 = new StringGridView(m_group3, u"StringGrid2",
                                 {CaptionColumn, ValueColumn, ValueColumn}, 4, 1, 1);
    m_grid2->setFixedPlace(12, 80);
    m_grid2->setCellsEditable(false);
    auto* button1 = button(m_group3, u"Button1", "Nastavit", 372, 80);

    auto* button6 = button(this, u"Button6", "Storno", 422, 388);

    applyCaptions();
    TorqueBench& bench = m_parts.bench;
    bench.load(m_parts.setup);
    for (int col = 0; col < 2; ++col)
        for (int row = 0; row < 2; ++row)
            m_grid1->setCell(col + 1, row + 1, bench.cells[col][row]);
    m_combo1->setCurrentIndex(bench.sense());
    m_combo3->setCurrentIndex(bench.method());
    // The empty last row is current, so that no result cell shows selected.
    m_grid2->setCurrentCell(3, 0);

    connect(m_grid1, &StringGridView::cellEdited, this, [this](int col, int row) {
        if (col >= 1 && row >= 1) m_parts.bench.cells[col - 1][row - 1] = m_grid1->cell(col, row);
    });
    connect(m_combo1, &QComboBox::currentIndexChanged, this,
            [this](int item) { m_parts.bench.setSense(item); });
    connect(m_combo3, &QComboBox::currentIndexChanged, this,
            [this](int item) { m_parts.bench.setMethod(item); });
    connect(button4, &QPushButton::clicked, this,
            [this] { m_parts.bench.calibrate(TorqueBench::DirectionO); });
    connect(button2, &QPushButton::clicked, this,
            [this] { m_parts.bench.calibrate(TorqueBench::DirectionZ); });
    connect(button5, &QPushButton::clicked, this,
            [this] { m_parts.bench.calibrate(TorqueBench::Stop); });
    connect(button1, &QPushButton::clicked, this, [this] {
        emit resultsTaken(m_parts.display.results);
        close();
    });
    connect(button3, &QPushButton::clicked, this, [this] {
        emit rawTorqueTaken();
        accept();
    });
    connect(button6, &QPushButton::clicked, this, &QDialog::reject);
}

void TMomentForm::applyCaptions() {
    setWindowTitle(LangText(QStringLiteral("Moment")));
    for (StringGridView* grid : {m_grid1, m_grid2}) {
        grid->setCell(1, 0, LangText(QStringLiteral("O")));
        grid->setCell(2, 0, LangText(QStringLiteral("Z")));
    }
    m_grid1->setCell(0, 1, LangText(QStringLiteral("Moment stolice min. [mA]")));
    m_grid1->setCell(0, 2, LangText(QStringLiteral("Moment stolice 100% [mA]")));
    m_grid2->setCell(0, 1, LangText(QStringLiteral("Moment 100%")));
    m_grid2->setCell(0, 2, LangText(QStringLiteral("Moment min.")));
}

void TMomentForm::render() {
    const TorqueDisplay& d = m_parts.display;
    m_edit3->setText(d.rawTorque);
    m_edit2->setText(d.status);
    m_edit4->setText(d.bench);
    for (int col = 0; col < 2; ++col)
        for (int row = 0; row < 2; ++row)
            m_grid2->setCell(col + 1, row + 1, d.results[col][row]);
}

void TMomentForm::FormActivate() {
    if (!m_parts.poll.isActive()) m_parts.poll.activate();
}

void TMomentForm::FormDeactivate() {
    if (!m_parts.poll.isActive()) return;
    m_parts.poll.deactivate();
    m_parts.bench.store(m_parts.setup);
}
