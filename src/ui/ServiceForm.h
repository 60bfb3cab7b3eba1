#pragma once

#include "params/ParameterCatalogue.h"

#include <QDialog>
#include <functional>
#include <map>

class QAction;
class QButtonGroup;
class QGroupBox;
class QMenu;
class QPushButton;
class QRadioButton;
class QTableView;
class ParameterTransfer;
class Prompter;
class ServiceActions;
class ServiceEditing;
class ServiceSheet;
class SheetModel;
enum class ServiceCommand;

// The service window ("Parametry"): every parameter of the unit in two grids, the production
// data, the last errors and resets, and the write commands. The grids show the service sheet;
// edits, marks and commands are the core's, the window forwards keys, clicks and answers.
class TServiceForm : public QDialog {
    Q_OBJECT
public:
    struct Parts {
        ServiceSheet& sheet;
        ServiceEditing& editing;
        ServiceActions& actions;
        ParameterTransfer& transfer; // ZapisZeSouboru and the radio group's selection
        Prompter& prompter;
    };

    TServiceForm(const Parts& parts, QWidget* parent = nullptr);

    // The main window's file actions (open, save as, print) for the menu "Soubor".
    void setFileActions(const QList<QAction*>& actions);
    // The dialog a parameter's editor opens; editors without one open nothing.
    void setEditor(Editor editor, std::function<void()> open);

    // ServiceExecute: reloads the grids, and shows the window modally unless it is open.
    void ServiceExecute();
    // VyvolaniNastaveni: the editor of the current row of grid 0 (left) or 1 (right).
    void VyvolaniNastaveni(int grid);
    // The grid whose row opened the editor in use (AktivniGrid).
    int aktivniGrid() const { return m_aktivniGrid; }
    // The current row of a parameter grid (a sheet row, 1..).
    int currentRow(int grid) const;
    void setCurrentRow(int grid, int row);

    // Captions in the current language; `fileMenu` and the backup captions are the main
    // window's.
    // The captions of the current language; the file menu and the backup group read as the main
    // window's do.
    void applyCaptions();

    QTableView* gridView(int grid) const;

    // Esc, "Storno" and the close button: a pending edit is asked about first.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int ClientWidth = 1024, ClientHeight = 510;

    void buildParameterGrids(QWidget* content);
    void buildProductionData(QWidget* content);
    void buildLists(QWidget* content);
    void buildCommands(QWidget* content);
    QTableView* makeView(QWidget* parent, SheetModel* model, const QList<int>& widths,
                         int firstCursorColumn = 0);
    void command(ServiceCommand command);
    void productionEdited(int col, int row);
    void selectionClicked(int selection);

    Parts m_parts;
    std::map<Editor, std::function<void()>> m_editors;
    int m_aktivniGrid = 0;

    QMenu* m_fileMenu = nullptr;
    QGroupBox* m_group1 = nullptr;
    QTableView* m_grids[2] = {};
    QGroupBox* m_group2 = nullptr;
    QTableView* m_productionGrid = nullptr;
    QGroupBox* m_group4 = nullptr;
    QGroupBox* m_group3 = nullptr;
    QTableView* m_lastErrors = nullptr;
    QTableView* m_lastResets = nullptr;
    QGroupBox* m_group5 = nullptr;
    QGroupBox* m_group6 = nullptr;
    QGroupBox* m_radioGroup = nullptr;
    QButtonGroup* m_selection = nullptr;
    QRadioButton* m_selectionItems[2] = {};
    QPushButton* m_button1 = nullptr; // Inic
    QPushButton* m_button2 = nullptr; // Zapsat (all parameters)
    QPushButton* m_button3 = nullptr; // Storno
    QPushButton* m_button4 = nullptr; // Zapsat (production data)
    QPushButton* m_button5 = nullptr; // Nulování of the last resets
    QPushButton* m_button6 = nullptr; // Default
    QPushButton* m_button7 = nullptr; // Nulování of the last errors
    QPushButton* m_button8 = nullptr; // Vytvořit zálohu
    QPushButton* m_button9 = nullptr; // Obnovit ze zálohy
};
