#include "params/ParameterFile.h"

#include "files/FileProblem.h"
#include "image/DeviceImage.h"
#include "params/IniFile.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceSheet.h"
#include "params/SheetGrid.h"

#include <cerrno>

namespace {

const QString Ident = QStringLiteral("Ident");
const QString SystemKey = QStringLiteral("System");
const QString Production = QStringLiteral("Vyrobni_udaje");

// Value sections by kind, in the order a file holds them: DW, W, B.
struct KindSections {
    int kind;
    QString values;
};
const KindSections Kinds[] = {{ParameterCatalogue::KindDW, QStringLiteral("Parametry_DW")},
                              {ParameterCatalogue::KindW, QStringLiteral("Parametry_W")},
                              {ParameterCatalogue::KindB, QStringLiteral("Parametry_B")}};

QString activeSection(const KindSections& k) {
    return k.values + QStringLiteral("_Act");
}

QString errorSection(const KindSections& k) {
    return k.values + QStringLiteral("_Err");
}

QString flagText(bool on) {
    return on ? QStringLiteral("-1") : QStringLiteral("0");
}

void setFlag(DeviceImage& image, int kind, int index, bool active, bool faulty) {
    if (kind == ParameterCatalogue::KindB) {
        image.ParB_Act[index] = active;
        image.ParB_Err[index] = faulty;
    } else if (kind == ParameterCatalogue::KindW) {
        image.ParW_Act[index] = active;
        image.ParW_Err[index] = faulty;
    } else {
        image.ParDW_Act[index] = active;
        image.ParDW_Err[index] = faulty;
    }
}

} // namespace

namespace ParameterFile {

bool save(const QString& path, const ServiceSheet& sheet, const DeviceImage& image,
          const SheetGrid& errorGrid, QString* error) {
    IniFile file(path, IniFile::Format::ParameterFile);
    if (!file.load(error)) return false;
    file.setValue(Ident, SystemKey, QString::fromLatin1(System));
    for (int field = 0; field < ParameterCatalogue::ProductionFields; ++field)
        file.setValue(Production, QString::number(field),
                      sheet.cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn,
                                 ParameterCatalogue::productionField(field).row));
    for (const KindSections& k : Kinds) {
        for (int i = 0; i < ParameterCatalogue::count(k.kind); ++i) {
            const QString key = QString::number(i);
            const GridPlace place = ParameterCatalogue::place(k.kind, i);
            file.setValue(k.values, key,
                          sheet.cell(place.grid, ServiceSheet::ValueColumn, place.row));
            file.setValue(activeSection(k), key, flagText(image.isActive(k.kind, i)));
            file.setValue(errorSection(k), key, flagText(image.isFaulty(k.kind, i)));
        }
    }
    const QString activeErrors = QStringLiteral("Chyby_Akt");
    for (int group = 0; group < int(image.Chyby_Akt.size()); ++group)
        file.setValue(activeErrors, QString::number(group),
                      QString::number(image.Chyby_Akt[group]));
    // The error grid's rows 1..32 hold the counters; key k is row k + 1.
    const QString counters = QStringLiteral("Chyby_Pocet");
    for (int k = 0; k <= errorGrid.rowCount() - 3; ++k)
        file.setValue(counters, QString::number(k), errorGrid.cell(2, k + 1));
    const QString state = QStringLiteral("Stav");
    const std::pair<const char*, QString> figures[] = {
        {"Poloha_Proc", QString::number(image.Poloha_Proc)},
        {"Poloha_Abs", QString::number(image.Poloha_Abs)},
        {"Ridici_Signal_Abs", QString::number(image.Ridici_Signal_Abs)},
        {"Moment_Abs", QString::number(image.Moment_Abs)},
        {"Cas_Chodu_Hodiny", QString::number(image.Cas_Chodu_Hodiny)},
        {"Cas_Chodu_Minuty", QString::number(image.Cas_Chodu_Minuty)},
        {"Teplota", QString::number(image.Teplota)},
        {"Rele_O", QString::number(quint32(image.Rele_O()))},
        {"Rele_C", QString::number(quint32(image.Rele_C()))},
    };
    for (const auto& [key, value] : figures)
        file.setValue(state, QString::fromLatin1(key), value);
    return file.save(error);
}

Read load(const QString& path, ServiceSheet& sheet, DeviceImage& image, bool linkRunning,
          QString* error) {
    IniFile file(path, IniFile::Format::ParameterFile);
    if (!file.load(error)) return Read::Failed;
    if (!file.existed()) {
        if (error) *error = FileProblem::systemReason(ENOENT);
        return Read::Failed;
    }
    if (file.value(Ident, SystemKey) != QLatin1String(System)) return Read::WrongFile;

    for (int field = 0; field < ParameterCatalogue::ProductionFields; ++field)
        sheet.setCell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn,
                      ParameterCatalogue::productionField(field).row,
                      file.value(Production, QString::number(field)));
    for (const KindSections& k : Kinds) {
        for (int i = 0; i < ParameterCatalogue::count(k.kind); ++i) {
            // A parameter the connected unit lacks keeps its flags and cells.
            if (linkRunning && !image.isActive(k.kind, i)) continue;
            const QString key = QString::number(i);
            const QString activeText = file.value(activeSection(k), key);
            const bool active = !activeText.isEmpty() && activeText != QLatin1String("0");
            const bool faulty = file.value(errorSection(k), key) == QLatin1String("-1");
            const GridPlace place = ParameterCatalogue::place(k.kind, i);
            if (active) {
                sheet.ServiceStringGridWriteNapis(place.grid, ServiceSheet::NameColumn, place.row);
                sheet.setCell(place.grid, ServiceSheet::ValueColumn, place.row,
                              file.value(k.values, key));
            } else {
                sheet.setCell(place.grid, ServiceSheet::NameColumn, place.row, QString());
            }
            sheet.setCell(place.grid, ServiceSheet::ErrorColumn, place.row,
                          SheetGrid::mark(faulty));
            setFlag(image, k.kind, i, active, faulty);
        }
    }
    return Read::Loaded;
}

} // namespace ParameterFile
