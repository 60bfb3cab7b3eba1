#pragma once

#include "params/ParameterComparison.h"
#include "params/UnitRecords.h"

#include <QString>
#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QTableView;
class CompareModel;
class DifferencesOnly;
class Prompter;
class Session;

// Two parameter sets side by side — the unit now, a parameter file, or one of the connected
// unit's as-found/as-left records — with the rows that differ marked and, by default, alone.
// Sortable, copyable, exportable as CSV and PDF, printable; a file or record compared with the
// unit can be opened for writing as "Otevřít" opens it. Only reads: it never sends anything.
class CompareForm : public QWidget {
    Q_OBJECT
public:
    enum Side { Left = 0, Right = 1 };
    struct Source {
        QString path;  // empty: the unit now
        QString title; // what the side's list shows
    };

    CompareForm(Session& session, Prompter& prompter, QWidget* parent = nullptr);
    ~CompareForm() override;

    void applyCaptions();

    // The sources offered: the unit now, then the unit's records, newest first.
    void refreshSources();
    // Compares `source` on `side`; false (after telling the user) when its file cannot be read.
    bool setSide(Side side, const Source& source);
    Source side(Side side) const { return m_sources[side]; }

    QList<ComparisonRow> rows() const { return m_rows; }
    // The rows the table shows now (its filter and order).
    QList<ComparisonRow> shownRows() const;
    void setOnlyDifferences(bool on);

    // The selected rows, or all shown when none is selected, to the clipboard as text.
    void copy();
    bool saveCsv(const QString& path);
    bool savePdf(const QString& path);
    // The side that is a file or a record, when the other is the unit; empty otherwise.
    QString writableFile() const;

    QTableView* table() const { return m_table; }

signals:
    // "Otevřít pro zápis": the program opens the file as "Otevřít" does.
    void openRequested(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void compare();
    void chosen(Side side, int item);
    void chooseAndSave(bool pdf);
    void print();
    // "2026-12-10 09:14:03 · as found · kovr"
    static QString recordTitle(const UnitRecords::Record& record);

    Session& m_session;
    Prompter& m_prompter;
    std::array<Source, 2> m_sources;
    std::array<ParameterSet, 2> m_sets;
    QList<ComparisonRow> m_rows;
    CompareModel* m_model = nullptr;
    DifferencesOnly* m_filter = nullptr;
    std::array<QGroupBox*, 2> m_groups{};
    std::array<QComboBox*, 2> m_lists{};
    QCheckBox* m_onlyDifferences = nullptr;
    QTableView* m_table = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_csv = nullptr;
    QPushButton* m_pdf = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_open = nullptr;
    QPushButton* m_close = nullptr;
};
