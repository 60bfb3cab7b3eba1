// Writes the seed corpus of the fuzz targets from the program's own output: frames the
// scheduler sends, the simulated unit's replies and records, kovr.ini as the settings save it,
// a *.par file as the parameter file's save writes it. Each seed is laid out the way its target
// reads its input (FuzzedDataProvider: knobs from the end, texts and files from the front).
//
//   fuzz/make_corpus <folder>    writes <folder>/<target>/<seed>

#include "SchedulerRig.h"
#include "SimulatedUnit.h"
#include "image/DeviceImage.h"
#include "link/ParameterTransfer.h"
#include "params/IniFile.h"
#include "params/ParameterCatalogue.h"
#include "params/ParameterFile.h"
#include "params/ServiceSheet.h"
#include "params/Setup.h"
#include "params/SheetGrid.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

QString g_folder;

// One input: texts from the front, knobs (in the order the target reads them) from the end.
struct Seed {
    QByteArray front;
    std::vector<quint8> back;

    // A knob read by ConsumeIntegralInRange with a range of one byte (bools included).
    Seed& knob(int value) {
        back.push_back(quint8(value));
        return *this;
    }
    // A knob whose range needs two bytes: the high byte is read first.
    Seed& knob16(int value) {
        back.push_back(quint8(value >> 8));
        back.push_back(quint8(value));
        return *this;
    }
    // ConsumeRandomLengthString(max): a backslash doubled, then a backslash and another
    // character end the text unless it has its full length.
    Seed& text(const QByteArray& s, int max) {
        QByteArray escaped;
        for (char c : s)
            escaped += c == '\\' ? QByteArray("\\\\") : QByteArray(1, c);
        front += escaped;
        if (s.size() < max) front += "\\x";
        return *this;
    }
    Seed& bytes(const QByteArray& s) {
        front += s;
        return *this;
    }
    QByteArray data() const {
        QByteArray d = front;
        for (auto it = back.rbegin(); it != back.rend(); ++it)
            d += char(*it);
        return d;
    }
};

void write(const char* target, const char* name, const QByteArray& data) {
    const QString folder = g_folder + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
}

QByteArray monitorRequest(int parIndex, int parKind, int textChar, int textNumber) {
    return frameRequest("0010" + IntToHex(parIndex, 2) + IntToHex(parKind, 2) + "00010203" +
                        IntToHex(textChar, 2) + IntToHex(textNumber, 2));
}

QByteArray dataOf(const QByteArray& reply) {
    return reply.mid(7, reply.size() - Frame::Overhead);
}

// Frames of the link: the replies the unit gives, and those seeds for the record decoders.
void linkSeeds(SimulatedUnit& unit) {
    const QByteArray monitor = unit.answer(monitorRequest(3, 0, 2, 1));
    const QByteArray opened = unit.answer(frameRequest("4000"));
    const QByteArray written = unit.answer(frameRequest("320C05000000002A"));
    const QByteArray probe = unit.answer(probeFrame());

    // Raw line: pieces of 3, 4 and 40 characters, a send (0) between the replies.
    Seed raw;
    raw.knob(0).knob(5).knob(3).knob(4).knob(40).knob(0).knob(40);
    raw.bytes(monitor + opened + written + probe);
    write("reply_assembly", "replies", raw.data());
    Seed whole;
    whole.knob(1).knob(1).knob(7).knob(0x80).knob(0).knob(66).knob(1);
    whole.bytes(dataOf(monitor));
    write("reply_assembly", "monitor-reply", whole.data());

    // Monitor records as the unit walks its parameters and texts, with the image's W 0..4 of
    // the unit's torque points.
    Seed records;
    records.knob(0).knob(0).knob(0).knob(0x3A).knob(1).knob(0);
    for (int w = 0; w < 5; ++w)
        records.knob16(int(unit.parameter(SimulatedUnit::KindW, w)));
    records.knob(0).knob(0).knob(0).knob(0);
    records.text("0F", 40);
    const int cursors[][4] = {{0, 0, 0, 0},  {1, 0, 1, 0},  {64, 0, 5, 2}, {65, 0, 0, 3},
                              {3, 1, 2, 12}, {19, 1, 0, 0}, {1, 2, 9, 4},  {2, 2, 0, 0}};
    for (const auto& c : cursors)
        records.text(dataOf(unit.answer(monitorRequest(c[0], c[1], c[2], c[3]))), 110);
    write("monitor_record", "walk", records.data());

    const QByteArray sensor = dataOf(unit.answer(frameRequest("730A1020304005")));
    write("sensor_record", "record", Seed().text("F3", 20).bytes(sensor).data());
    unit.answer(frameRequest("750E01000190032000"));
    Seed torque;
    torque.text("81", 20);
    for (int i = 0; i < 3; ++i)
        torque.text(dataOf(unit.answer(frameRequest("0100"))), 60);
    write("torque_record", "records", torque.data());
    const QByteArray inputs =
        dataOf(unit.answer(frameRequest("7022010001FF02************************")));
    write("inputs_record", "record", Seed().text("F0", 20).bytes(inputs).data());
}

// The requests a session sends: the monitor poll, a parameter write, a text write, the date.
void simSeeds() {
    Seed s;
    s.knob(2);
    const auto request = [&s](const QByteArray& frame, bool hex) {
        s.knob(1).knob(1).knob(HexToInt(frame.mid(3, 2)));
        const QByteArray data = dataOf(frame);
        s.knob(int(data.size())).knob(hex ? 1 : 0);
        for (char c : data)
            s.knob(hex ? HexToInt(QByteArray(1, c)) : c);
        s.knob(1).knob16(20).knob(int(frame.size()) - 1);
    };
    request(monitorRequest(0, 0, 0, 0), true);
    request(frameRequest("4000"), true);
    request(frameRequest("320C060000000003"), true);
    request(frameRequest("340C02KOVR 2-01  "), false);
    request(frameRequest("3408010703"
                         "26"),
            true);
    request(frameRequest("4100"), true);
    request(frameRequest("510201"), true);
    request(monitorRequest(4, 0, 1, 0), true);
    write("sim_requests", "session", s.data());
}

// A session of the scheduler against the simulated unit: the start-up refresh, a parameter
// write, each request answered as the unit answers it, 20 ms after the last reply.
void schedulerSeeds() {
    Rig rig;
    ParameterTransfer transfer{rig.image};
    rig.scheduler.setTransfer(&transfer);
    SimulatedUnit unit(2);
    rig.start();
    Seed s;
    const auto exchange = [&](int wait) {
        s.knob(0).knob16(wait);
        rig.clock.advance(wait);
        if (rig.port.written.isEmpty()) return;
        const QByteArray reply = unit.answer(rig.port.written.last());
        if (reply.isEmpty()) return;
        const QByteArray data = dataOf(reply);
        s.knob(2).knob(1).knob(int(data.size()));
        for (char c : data)
            s.knob(HexToInt(QByteArray(1, c)));
        s.knob(1).knob(1).knob(int(reply.size()) - 1);
        rig.port.arrive(reply);
    };
    exchange(100);
    for (int i = 0; i < 12; ++i)
        exchange(20);
    // The write: B 5..7, ending the transfer.
    s.knob(6).knob(0).knob(5).knob(2).knob(1);
    transfer.NastavZapisPar(5, 7, ParameterTransfer::KindB, true);
    rig.scheduler.KomPovel(110);
    for (int i = 0; i < 10; ++i)
        exchange(20);
    write("scheduler", "refresh-and-write", s.data());
}

// kovr.ini as the program leaves it, with the port devices a technician adds.
QByteArray settingsFile(const QString& dir) {
    const QString path = dir + QStringLiteral("/kovr.ini");
    QFile ports(path);
    if (!ports.open(QIODevice::WriteOnly)) std::exit(1);
    ports.write(
        "; written by the KOVR service tool\n[Ports]\nCOM1=/dev/ttyUSB0\nCOM2=/dev/ttyACM0\n");
    ports.close();
    TSetup setup;
    setup.Port = QStringLiteral("2");
    setup.Lang = QStringLiteral("1");
    setup.Stolice_50_O = QStringLiteral("4.5");
    setup.Stolice_100_O = QStringLiteral("19.9");
    setup.Stolice_Smysl = QStringLiteral("1");
    if (!setup.save(path)) std::exit(1);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A *.par file of the simulated unit's parameters and production data, as Save writes it.
QByteArray parameterFile(const QString& dir, const SimulatedUnit& unit) {
    ServiceSheet sheet;
    sheet.applyHeaders();
    DeviceImage image;
    SheetGrid errorGrid{3, 34};
    for (int field = 0; field < ParameterCatalogue::ProductionFields; ++field)
        sheet.setCell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn,
                      ParameterCatalogue::productionField(field).row,
                      QString::fromLatin1(unit.text(field)));
    for (int kind = 0; kind < 3; ++kind)
        for (int i = 0; i < ParameterCatalogue::count(kind); ++i) {
            const auto k = SimulatedUnit::Kind(kind);
            const GridPlace place = ParameterCatalogue::place(kind, i);
            sheet.setCell(place.grid, ServiceSheet::ValueColumn, place.row,
                          QString::number(unit.parameter(k, i)));
            image.setValue(kind, 0, i, unit.parameter(k, i));
            (kind == 0   ? image.ParB_Act[i]
             : kind == 1 ? image.ParW_Act[i]
                         : image.ParDW_Act[i]) = unit.isPresent(k, i);
        }
    image.ParB_Err[7] = true;
    for (int k = 0; k < 32; ++k)
        errorGrid.setCell(2, k + 1, QString::number(k % 3));
    const QString path = dir + QStringLiteral("/unit.par");
    if (!ParameterFile::save(path, sheet, image, errorGrid)) std::exit(1);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void fileSeeds(const SimulatedUnit& unit) {
    QTemporaryDir dir;
    const QByteArray ini = settingsFile(dir.path());
    const QByteArray par = parameterFile(dir.path(), unit);

    write("settings", "kovr.ini", Seed().knob(0).bytes(ini).data());
    Seed own;
    own.knob(1);
    for (const char* field : {"3", "1", "2", "4.1", "20", "4", "19.5", "0", "1"})
        own.text(field, 12);
    write("settings", "saved-into-kovr.ini", own.bytes(ini).data());

    // Set Setup/Lang to 3, add Ports/COM3, and set the production text 2 in the *.par file.
    Seed recipe;
    recipe.knob(1).knob(1).knob(1).knob(2).knob(0).text("3", 40);
    recipe.knob(0).text("Ports", 12).knob(0).text("COM3", 12).knob(0).text("/dev/ttyUSB1", 40);
    const QByteArray settingsRecipe = recipe.data();
    write(
        "ini_file", "kovr.ini",
        Seed().knob(0).knob(2).knob(int(settingsRecipe.size())).bytes(settingsRecipe + ini).data());
    Seed parRecipe;
    parRecipe.knob(1).knob(1).knob(1).knob(2).text("KOVR 2-01 \xE9", 40);
    const QByteArray parEdit = parRecipe.data();
    write("ini_file", "unit.par",
          Seed().knob(1).knob(1).knob(int(parEdit.size())).bytes(parEdit + par).data());

    write("parameter_file", "unit.par", Seed().knob(0).knob(0).bytes(par).data());
    write("parameter_file", "unit.par-link-running", Seed().knob(0).knob(1).bytes(par).data());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    SimulatedUnit unit(2);
    unit.setClock([] { return qint64(1000); });
    linkSeeds(unit);
    simSeeds();
    schedulerSeeds();
    fileSeeds(unit);
    return 0;
}
