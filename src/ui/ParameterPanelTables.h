#pragma once

#include <QStringView>
#include <array>

// The rules of the parameter panel as data: which byte parameter each selector edits and how
// its items map to values, which controls the unit's variant (Provedeni, B 6) offers, and the
// four relay-position rows.
namespace ParameterPanelTables {

// Switches derived from the variant number (OdblokujParReg).
struct VariantSwitches {
    bool S; // SAFE: reaction, position, control-signal display, cycle mode
    bool A; // control-signal range
    bool B; // dead zone
    bool G; // CPT output
    bool D; // active level of input I1
    bool E; // no relays 1 and 2 (switching-off mode only with S)
    bool F; // fieldbus (parameters dialog only)
    friend bool operator==(const VariantSwitches&, const VariantSwitches&) = default;
};

inline constexpr VariantSwitches Variants[] = {
    //  S      A      B      G      D      E      F
    {false, false, false, true, false, true, false}, // 0 KOVR.ED
    {true, true, true, true, false, true, false},    // 1 KOVR.ED CONTROL
    {true, false, false, true, true, false, false},  // 2 KOVR
    {true, true, true, true, true, false, false},    // 3 KOVR CONTROL
    {true, false, true, false, true, false, true},   // 4 KOVR FIELDBUS
};

// An unknown variant offers nothing that depends on a switch.
constexpr VariantSwitches variantSwitches(int provedeni) {
    if (provedeni < 0 || provedeni >= int(std::size(Variants))) return {};
    return Variants[provedeni];
}

// When a control of the main window is shown.
enum class Shown {
    Always,
    S,
    SWithCycle, // S and the unit reports the cycle mode (ParB_Act[56])
    A,
    B,
    G,
    D,
    NotE,
    NotEOrS,
    F, // the parameters dialog's fieldbus lists
};

constexpr bool isShown(Shown when, const VariantSwitches& v, bool cyclePresent) {
    switch (when) {
    case Shown::Always: return true;
    case Shown::S: return v.S;
    case Shown::SWithCycle: return v.S && cyclePresent;
    case Shown::A: return v.A;
    case Shown::B: return v.B;
    case Shown::G: return v.G;
    case Shown::D: return v.D;
    case Shown::NotE: return !v.E;
    case Shown::NotEOrS: return !v.E || v.S;
    case Shown::F: return v.F;
    }
    return false;
}

// A selector of the panel: item = (value + offset) div koef, value = item * koef - offset.
struct Selector {
    QStringView combo;    // object name; the selector's tag is `b`
    QStringView label;    // object name of its label
    QStringView labelKey; // dictionary key of the label's caption
    int group;            // 8: GroupBox8, 12: GroupBox12 "Regulátor"
    int b;                // byte parameter
    int koef;
    int offset;
    int itemsOf; // byte parameter whose value list fills the items (selectors may share one)
    Shown shown;
    bool hiddenAtStart;
};

// Top to bottom within each group.
inline constexpr Selector Selectors[] = {
    {u"ComboBox23", u"Label21", u"Vypínání", 8, 16, 1, 0, 16, Shown::NotEOrS, true},
    {u"ComboBox14", u"Label14", u"Prac. moment O", 8, 27, 10, -50, 27, Shown::Always, false},
    {u"ComboBox8", u"Label12", u"Prac. moment Z", 8, 10, 10, -50, 27, Shown::Always, false},
    {u"ComboBox7", u"Label1", u"Čas blokování", 8, 29, 10, 0, 29, Shown::Always, false},
    {u"ComboBox15", u"Label15", u"Poloha blok. O", 8, 28, 1, 0, 28, Shown::Always, false},
    {u"ComboBox10", u"Label16", u"Poloha blok. Z", 8, 25, 1, 0, 28, Shown::Always, false},
    {u"ComboBox5", u"Label9", u"Výstup CPT", 8, 19, 1, 0, 19, Shown::G, false},
    {u"ComboBox4", u"Label8", u"Relé Ready", 8, 43, 1, 0, 43, Shown::Always, false},
    {u"ComboBox3", u"Label7", u"Relé 1", 8, 45, 1, 0, 45, Shown::NotE, true},
    {u"ComboBox13", u"Label17", u"Relé 2", 8, 46, 1, 0, 45, Shown::NotE, true},
    {u"ComboBox21", u"Label19", u"Relé 3 / SZ", 8, 47, 1, 0, 45, Shown::Always, false},
    {u"ComboBox22", u"Label20", u"Relé 4 / SO", 8, 48, 1, 0, 45, Shown::Always, false},
    {u"ComboBox1", u"Label5", u"Řídicí signál", 12, 15, 1, 0, 15, Shown::A, true},
    {u"ComboBox9", u"Label13", u"Necitlivost", 12, 32, 1, -1, 32, Shown::B, true},
    {u"ComboBox2", u"Label6", u"Reakce SAFE", 12, 17, 1, 0, 17, Shown::S, true},
    {u"ComboBox6", u"Label10", u"Aktivní I1", 12, 18, 1, 0, 18, Shown::D, true},
    {u"ComboBox11", u"Label26", u"Takt mód", 12, 56, 1, 0, 56, Shown::SWithCycle, true},
};

// Relay-position rows: label, edit, word parameter, relay function, and the selector label
// whose caption the row's label repeats. A row shows while its relay switches on position.
struct RelayRow {
    QStringView label;
    QStringView edit;
    int w;
    int function;
    QStringView captionKey; // the caption of the relay's function selector
};

inline constexpr RelayRow RelayRows[] = {
    {u"Label22", u"Edit16", 8, 45, u"Relé 1"},
    {u"Label23", u"Edit17", 9, 46, u"Relé 2"},
    {u"Label24", u"Edit18", 10, 47, u"Relé 3 / SZ"},
    {u"Label25", u"Edit19", 11, 48, u"Relé 4 / SO"},
};

// Relay functions "poloha" and "poloha negovaná".
constexpr bool switchesOnPosition(int function) {
    return function == 10 || function == 11;
}

inline constexpr int SafePosition = 12; // W 12

} // namespace ParameterPanelTables
