// The *.par reader and writer on any file, and on a service window holding any texts.
//
// Properties: a file that is read and saved again (over itself, as Save after Open does) reads
// back into the same production data, value cells, labels, error marks and flags; a service
// window saved and read back gives its texts and flags again, a line break or a character
// beyond one byte written as '?'.

#include "FuzzSupport.h"
#include "image/DeviceImage.h"
#include "params/ParameterCatalogue.h"
#include "params/ParameterFile.h"
#include "params/ServiceSheet.h"
#include "params/SheetGrid.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

struct Window {
    ServiceSheet sheet;
    DeviceImage image;
    SheetGrid errorGrid{3, 34};
    Window() { sheet.applyHeaders(); }
};

constexpr int Kinds[] = {ParameterCatalogue::KindB, ParameterCatalogue::KindW,
                         ParameterCatalogue::KindDW};

QString production(const Window& w, int field) {
    return w.sheet.cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn,
                        ParameterCatalogue::productionField(field).row);
}

QString cell(const Window& w, int kind, int index, int column) {
    const GridPlace place = ParameterCatalogue::place(kind, index);
    return w.sheet.cell(place.grid, column, place.row);
}

// What a file gives the service window, as comparable lines.
QStringList stateOf(const Window& w) {
    QStringList lines;
    for (int field = 0; field < ParameterCatalogue::ProductionFields; ++field)
        lines.append(QStringLiteral("text %1: %2").arg(field).arg(production(w, field)));
    for (int kind : Kinds)
        for (int i = 0; i < ParameterCatalogue::count(kind); ++i)
            lines.append(QStringLiteral("%1/%2: %3 %4 [%5] [%6] [%7]")
                             .arg(kind)
                             .arg(i)
                             .arg(w.image.isActive(kind, i))
                             .arg(w.image.isFaulty(kind, i))
                             .arg(cell(w, kind, i, ServiceSheet::NameColumn),
                                  cell(w, kind, i, ServiceSheet::ErrorColumn),
                                  cell(w, kind, i, ServiceSheet::ValueColumn)));
    return lines;
}

void checkSame(const QStringList& expected, const QStringList& got) {
    for (qsizetype i = 0; i < expected.size(); ++i)
        FUZZ_CHECK(expected.at(i) == got.at(i), << expected.at(i) << "read back as" << got.at(i));
}

// A cell as a new file (CR LF) can hold it: one byte per character, one line.
QString asFileHolds(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool lineEnd =
            c == QLatin1Char('\n') ||
            (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'));
        if (c.unicode() > 0xFF || lineEnd) text[i] = QLatin1Char('?');
    }
    return text;
}

void setFlags(DeviceImage& image, int kind, int index, bool active, bool faulty) {
    switch (kind) {
    case ParameterCatalogue::KindB:
        image.ParB_Act[index] = active;
        image.ParB_Err[index] = faulty;
        break;
    case ParameterCatalogue::KindW:
        image.ParW_Act[index] = active;
        image.ParW_Err[index] = faulty;
        break;
    default:
        image.ParDW_Act[index] = active;
        image.ParDW_Err[index] = faulty;
        break;
    }
}

QString someText(FuzzedDataProvider& in) {
    const std::string bytes = in.ConsumeRandomLengthString(24);
    // Mostly the unit's bytes, one character each; sometimes what a user may type.
    return in.ConsumeBool() ? QString::fromLatin1(bytes.data(), qsizetype(bytes.size()))
                            : QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const QString path = fuzz::scratchFile("fuzz.par");
    const QString other = fuzz::scratchFile("saved.par");
    QFile::remove(other);

    if (in.ConsumeBool()) {
        // A window with any texts, saved and read back.
        Window a;
        for (int field = 0; field < ParameterCatalogue::ProductionFields; ++field)
            a.sheet.setCell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn,
                            ParameterCatalogue::productionField(field).row, someText(in));
        for (int kind : Kinds)
            for (int i = 0; i < ParameterCatalogue::count(kind); ++i) {
                const GridPlace place = ParameterCatalogue::place(kind, i);
                a.sheet.setCell(place.grid, ServiceSheet::ValueColumn, place.row, someText(in));
                setFlags(a.image, kind, i, in.ConsumeBool(), in.ConsumeBool());
            }
        FUZZ_CHECK(ParameterFile::save(other, a.sheet, a.image, a.errorGrid));
        Window b;
        FUZZ_CHECK(ParameterFile::load(other, b.sheet, b.image, false) ==
                   ParameterFile::Read::Loaded);
        for (int field = 0; field < ParameterCatalogue::ProductionFields; ++field)
            FUZZ_CHECK(production(b, field) == asFileHolds(production(a, field)),
                       << field << production(a, field) << "read back as" << production(b, field));
        for (int kind : Kinds)
            for (int i = 0; i < ParameterCatalogue::count(kind); ++i) {
                FUZZ_CHECK(b.image.isActive(kind, i) == a.image.isActive(kind, i), << kind << i);
                FUZZ_CHECK(b.image.isFaulty(kind, i) == a.image.isFaulty(kind, i), << kind << i);
                const QString value = cell(a, kind, i, ServiceSheet::ValueColumn);
                if (a.image.isActive(kind, i))
                    FUZZ_CHECK(cell(b, kind, i, ServiceSheet::ValueColumn) == asFileHolds(value),
                               << kind << i << value << "read back as"
                               << cell(b, kind, i, ServiceSheet::ValueColumn));
            }
        return 0;
    }

    // Any file, opened and saved over itself.
    const bool linkRunning = in.ConsumeBool();
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    const QByteArray original(bytes.data(), qsizetype(bytes.size()));
    fuzz::context() = QStringLiteral("file %1\n").arg(QString::fromLatin1(original.toHex()));
    fuzz::writeFile(path, original);

    Window a;
    // While the link runs, the unit has the first half of every kind.
    if (linkRunning)
        for (int kind : Kinds)
            for (int i = 0; i < ParameterCatalogue::count(kind) / 2; ++i)
                setFlags(a.image, kind, i, true, false);
    const QStringList unitState = stateOf(a);
    const ParameterFile::Read read = ParameterFile::load(path, a.sheet, a.image, linkRunning);
    FUZZ_CHECK(read != ParameterFile::Read::Failed);
    if (read == ParameterFile::Read::WrongFile) {
        FUZZ_CHECK(stateOf(a) == unitState, << "a wrong file changed the window");
        return 0;
    }
    if (linkRunning) {
        // A parameter the unit lacks keeps its flags and cells.
        const QStringList now = stateOf(a);
        for (qsizetype i = 0; i < now.size(); ++i)
            if (unitState.at(i).contains(QLatin1String(": 0 0")))
                FUZZ_CHECK(now.at(i) == unitState.at(i),
                           << unitState.at(i) << "became" << now.at(i));
    }
    const QStringList loaded = stateOf(a);
    FUZZ_CHECK(ParameterFile::save(path, a.sheet, a.image, a.errorGrid));
    fuzz::context() +=
        QStringLiteral("saved %1\n").arg(QString::fromLatin1(fuzz::readFile(path).toHex()));

    Window b;
    FUZZ_CHECK(ParameterFile::load(path, b.sheet, b.image, false) == ParameterFile::Read::Loaded);
    checkSame(loaded, stateOf(b));
    return 0;
}
