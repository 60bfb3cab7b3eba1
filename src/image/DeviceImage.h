#pragma once

#include <QtGlobal>
#include <array>

// Everything the tool holds about the connected unit: parameters in three value sets with
// their flags, the live monitor values, the production-data texts and the monitor cursors.
// Plain data; whoever changes a displayed field calls the display routine concerned.
struct DeviceImage {
    static constexpr int CountB = 65;
    static constexpr int CountW = 19;
    static constexpr int CountDW = 2;
    static constexpr int Sets = 3; // Sada 0 received, 1 reference, 2 target
    static constexpr int TextCount = 16;
    static constexpr int TextCells = 16;

    std::array<std::array<quint8, CountB>, Sets> ParB{};
    std::array<std::array<quint16, CountW>, Sets> ParW{};
    std::array<std::array<quint32, CountDW>, Sets> ParDW{};

    std::array<bool, CountB> ParB_Act{};
    std::array<bool, CountW> ParW_Act{};
    std::array<bool, CountDW> ParDW_Act{};
    std::array<bool, CountB> ParB_Err{};
    std::array<bool, CountW> ParW_Err{};
    std::array<bool, CountDW> ParDW_Err{};
    std::array<bool, CountB> ParB_Sign{};
    // The unit has reported the parameter at least once: its first report is shown even when
    // it equals the zero that set 1 starts with.
    std::array<bool, CountB> ParB_Reported{};
    std::array<bool, CountW> ParW_Reported{};
    std::array<bool, CountDW> ParDW_Reported{};

    // Live values of the monitor record.
    qint32 Poloha_Proc = 0;
    quint32 Poloha_Abs = 0;
    qint32 Ridici_Signal_Abs = 0;
    qint32 Moment_Abs = 0;
    qint32 Cas_Chodu_Hodiny = 0;
    qint32 Cas_Chodu_Minuty = 0;
    qint8 Teplota = 0;
    std::array<quint8, 8> ReleBajty{};
    std::array<quint8, 4> Chyby_Akt{};
    std::array<bool, 4> ChybySkupAktivni{};

    // Production data: per text the received and shown byte of every cell, the learned
    // length (characters before the unit wrapped to 0) and the length last shown.
    struct TextCell {
        quint8 received = 0;
        quint8 shown = 0;
    };
    struct ProductionText {
        std::array<TextCell, TextCells> cells{};
        int learnedLength = 0;
        int shownLength = 0;
    };
    std::array<ProductionText, TextCount> VyrobniUdaje{};

    // Monitor cursors, sent as the eight data bytes of every monitor request.
    qint32 MonParIndex = 0;
    qint32 MonParTyp = 0;
    qint32 MonChybySkup = 0;
    qint32 MonIoSkup = 0;
    qint32 MonInfoIndex = 0;
    qint32 MonChybaIndex = 0;
    qint32 MonTextZnak = 0;
    qint32 MonTextCislo = 0;

    // Relay position edit the user entered last (8..11), 0 before.
    qint32 VybranaPolohaRele = 0;

    qint64 Rele_O() const { return relayCount(0); }
    qint64 Rele_C() const { return relayCount(4); }

    // Clears every presence and fault flag (ParB_Sign stays).
    void InicParam();

    // A parameter by kind (0 B, 1 W, 2 DW) and index; 0 / false outside the image, and writes
    // outside are ignored.
    quint32 value(int kind, int sada, int index) const;
    void setValue(int kind, int sada, int index, quint32 value);
    bool isActive(int kind, int index) const;
    bool isFaulty(int kind, int index) const;
    // Set 2 := set 1 for every parameter: pending edits dropped.
    void restoreTargetSet();

private:
    qint64 relayCount(int first) const {
        return (qint64(ReleBajty[first]) * 256 + ReleBajty[first + 1]) * 1000 +
               ReleBajty[first + 2] * 10 + ReleBajty[first + 3];
    }
};
