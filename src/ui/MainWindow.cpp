#include "ui/MainWindow.h"

#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "ui/MonitoringPanel.h"
#include "ui/ParameterPanel.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

namespace {

// Main menu: top-level entries (menu == nullptr) and their items, in order. "Motor" starts
// disabled: the parameter panel enables it once the unit reports a variant other than 0.
struct MenuEntry {
    const char* menu;       // object name of the menu the item belongs to; nullptr: top level
    const char* objectName; // action
    const char* czech;      // caption built into the window
    const char* key;        // dictionary key of the run-time caption; nullptr: fixed text
    const char* shortcut;
    bool enabledAtStart;
    bool visible;
};

constexpr MenuEntry menuEntries[] = {
    {nullptr, "File1", "Soubor", "menuSoubor", "", true, true},
    {"File1", "FileOpen1", "&Otevřít", "menuOtevrit", "Ctrl+O", true, true},
    {"File1", "FileSaveAs1", "Save &As...", "menuUlozit", "Ctrl+S", true, true},
    {"File1", "Print", "Tisk", "menuTisk", "", true, true},
    {"File1", nullptr, "", nullptr, "", true, true},
    {"File1", "FileExit1", "E&xit", "menuKonec", "", true, true},
    {nullptr, "Motor", "Motor", "menuMotor", "", false, true},
    {nullptr, "Service", "Service", "menuParametry", "", true, true},
    {nullptr, "Vyrobce1", "Výrobce", "menuVyrobce", "", true, true},
    {"Vyrobce1", "Vystupy", "Vystupy", "menuVystupy", "", true, true},
    {"Vyrobce1", "ChybyKomunikace", "Chyby komunikace", nullptr, "", true, true},
    {nullptr, "Setup", "&Nastavení", "menuNastaveni", "", true, true},
    {nullptr, "Help1", "Nápověda", "menuNapoveda", "", true, true},
    {"Help1", "Napoveda", "Nápověda QX7_LM3", "menuNapovedaKOVR", "F1", true, false},
    {"Help1", "Cotoje1", "Co to je ?", "CoToJe", "Shift+F1", true, false},
    {"Help1", nullptr, "", nullptr, "", true, true},
    {"Help1", "HelpAbout1", "&O aplikaci", "OAplikaci", "", true, true},
};

// The tool's own additions to a menu, behind the item named: their texts are added texts.
struct AddedEntry {
    const char* after;
    const char* objectName;
    const char* key;
};

constexpr AddedEntry addedEntries[] = {
    {"Print", "PrintPreview", "menuNahledTisku"},
    {"PrintPreview", "ExportPdf", "menuExportPdf"},
    {"ExportPdf", "Porovnat", "menuPorovnat"},
    {"Cotoje1", "Prirucka", "menuPrirucka"},
    {"ChybyKomunikace", "ZaznamKomunikace", "menuZaznamKomunikace"},
    {"ZaznamKomunikace", "PrubehVelicin", "menuPrubehVelicin"},
};

constexpr int StatusBarHeight = 19;
constexpr int StatusPanelTop = 2;

struct StatusPanel {
    int width;
    Qt::Alignment alignment;
};

constexpr StatusPanel statusPanels[MainWindow::StatusPanels] = {
    {50, Qt::AlignCenter},
    {50, Qt::AlignCenter},
    {50, Qt::AlignCenter},
    {80, Qt::AlignCenter},
    {70, Qt::AlignCenter},
    {80, Qt::AlignCenter},
    {70, Qt::AlignCenter},
    {150, Qt::AlignCenter},
    {150, Qt::AlignLeft | Qt::AlignVCenter},
    {50, Qt::AlignLeft | Qt::AlignVCenter},
};

} // namespace

MainWindow::MainWindow(DeviceImage& image, const MonitorDisplay& display, Prompter& prompter,
                       const bool& zapisZeSouboru, QWidget* parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    client->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(client);

    m_monitoring = new MonitoringPanel(prompter, client);
    m_monitoring->setGeometry(8, -1, 501, 507);
    m_parameters = new ParameterPanel(image, display, prompter, zapisZeSouboru, client);
    m_parameters->setGeometry(513, -1, 450, 507);
    connect(m_parameters, &ParameterPanel::controlSignalVisibleChanged, m_monitoring,
            &MonitoringPanel::setControlSignalVisible);

    buildMenus();
    buildStatusBar();
    // The first focus goes to a harmless control, not to the first in the chain: the
    // monitoring panel's reset of the running time.
    m_parameters->firstControl()->setFocus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MainWindow::buildMenus() {
    for (const MenuEntry& entry : menuEntries) {
        if (!entry.menu && entry.objectName) {
            const bool submenu = std::any_of(
                std::begin(menuEntries), std::end(menuEntries), [&](const MenuEntry& e) {
                    return e.menu && qstrcmp(e.menu, entry.objectName) == 0;
                });
            if (submenu) {
                QMenu* menu = menuBar()->addMenu(QString::fromUtf8(entry.czech));
                menu->setObjectName(QString::fromLatin1(entry.objectName));
                menu->menuAction()->setObjectName(QString::fromLatin1(entry.objectName));
                continue;
            }
            QAction* action = menuBar()->addAction(QString::fromUtf8(entry.czech));
            action->setObjectName(QString::fromLatin1(entry.objectName));
            action->setEnabled(entry.enabledAtStart);
            continue;
        }
        QMenu* menu = menuBar()->findChild<QMenu*>(QString::fromLatin1(entry.menu));
        if (!entry.objectName) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(entry.czech));
        action->setObjectName(QString::fromLatin1(entry.objectName));
        action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
        action->setEnabled(entry.enabledAtStart);
        action->setVisible(entry.visible);
    }
    for (const AddedEntry& added : addedEntries) {
        QAction* after = action(QString::fromLatin1(added.after));
        QMenu* menu = qobject_cast<QMenu*>(after->parent());
        const QList<QAction*> items = menu->actions();
        const qsizetype next = items.indexOf(after) + 1;
        auto* item = new QAction(menu);
        item->setObjectName(QString::fromLatin1(added.objectName));
        menu->insertAction(next < items.size() ? items.at(next) : nullptr, item);
    }
    // The guide on F1 (the hidden help item of old keeps its F1 unused while hidden).
    action(QStringLiteral("Prirucka"))->setShortcut(QKeySequence::HelpContents);
    m_lineErrors = action(QStringLiteral("ChybyKomunikace"));
    m_lineErrors->setCheckable(true);
    connect(action(QStringLiteral("FileExit1")), &QAction::triggered, this, &QWidget::close);
    connect(action(QStringLiteral("Setup")), &QAction::triggered, this,
            &MainWindow::setupRequested);
    connect(action(QStringLiteral("Service")), &QAction::triggered, this,
            &MainWindow::serviceRequested);
    connect(action(QStringLiteral("HelpAbout1")), &QAction::triggered, this,
            &MainWindow::aboutRequested);
}

void MainWindow::buildStatusBar() {
    // Below the client, never over it: the panels use the client's whole height, and the
    // window grows by the status bar.
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);
    m_statusBar->setFixedSize(ClientWidth, StatusBarHeight);
    setStatusBar(m_statusBar);
    // The panels lie side by side from the left edge, each at its own width. They are not
    // the status bar's items: its layout would put its spacing between them and shift each
    // panel a little further right than the one before.
    int left = 0;
    for (int i = 0; i < StatusPanels; ++i) {
        auto* panel = new QLabel(m_statusBar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setAlignment(statusPanels[i].alignment);
        panel->setGeometry(left, StatusPanelTop, statusPanels[i].width,
                           StatusBarHeight - StatusPanelTop);
        left += statusPanels[i].width;
        m_panels[i] = panel;
    }
    updateStatusHints();
}

QAction* MainWindow::action(const QString& name) const {
    for (QAction* candidate : menuBar()->findChildren<QAction*>())
        if (candidate->objectName() == name) return candidate;
    for (QAction* candidate : menuBar()->actions())
        if (candidate->objectName() == name) return candidate;
    return nullptr;
}

void MainWindow::setStatusText(int panel, const QString& text) {
    if (panel >= 0 && panel < StatusPanels && m_panels[panel]->text() != text)
        m_panels[panel]->setText(text);
}

QString MainWindow::statusText(int panel) const {
    return panel >= 0 && panel < StatusPanels ? m_panels[panel]->text() : QString();
}

void MainWindow::updateStatusHints() {
    m_panels[0]->setToolTip(LangText(QStringLiteral("Komunikace")));
    m_panels[1]->setToolTip(QStringLiteral("Port"));
    // The panels that repeat a production-data field are named after it.
    for (int field = 0; field < ParameterCatalogue::ProductionFields; ++field) {
        const ProductionField production = ParameterCatalogue::productionField(field);
        if (production.statusPanel >= 0)
            m_panels[production.statusPanel]->setToolTip(LangText(production.labelKey));
    }
    m_panels[7]->setToolTip(LangText(QStringLiteral("ServisniMod")));
    m_panels[8]->setToolTip(QStringLiteral("Provedení"));
    m_panels[9]->setToolTip(QStringLiteral("-----"));
}

void MainWindow::Napisy(bool portOpen) {
    setWindowTitle(QStringLiteral("KOVR NEVRA"));
    for (const MenuEntry& entry : menuEntries) {
        if (!entry.objectName || !entry.key) continue;
        if (QAction* a = action(QString::fromLatin1(entry.objectName)))
            a->setText(LangText(QString::fromUtf8(entry.key)));
    }
    for (const AddedEntry& added : addedEntries)
        action(QString::fromLatin1(added.objectName))
            ->setText(LangAddedText(QString::fromLatin1(added.key)));
    m_monitoring->applyCaptions();
    m_parameters->applyCaptions();
    updateStatusHints();
    setStatusText(7, LangText(QStringLiteral("VyrobceElektroniky")));
    setStatusText(0, LangText(portOpen ? QStringLiteral("RUN") : QStringLiteral("STOP")));
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        centreOnScreen();
        emit firstShown();
    }
}

void MainWindow::centreOnScreen() {
    const QScreen* shownOn = screen();
    if (!shownOn) return;
    QRect frame = frameGeometry();
    frame.moveCenter(shownOn->availableGeometry().center());
    move(frame.topLeft());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    emit closing();
    event->accept();
}
