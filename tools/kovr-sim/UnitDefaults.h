#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <array>

// Factory contents of the simulated unit: parameter values, which byte parameters are
// signed, which parameters a variant (B 6) fits, and the production-data texts.
namespace UnitDefaults {

inline constexpr int ByteCount = 65;
inline constexpr int WordCount = 19;
inline constexpr int DoubleWordCount = 2;
inline constexpr int ParameterCount = ByteCount + WordCount + DoubleWordCount;
inline constexpr int TextCount = 13;
inline constexpr int TextCapacity = 16;
inline constexpr int VariantCount = 5;

// Parameters that only some variants carry. Everything else is present in every variant.
enum class Fit : quint8 {
    Always,
    AnalogControl,  // control signal and SAFE: every variant but the basic KOVR.ED
    PositionOutput, // CPT output: every variant but the fieldbus one
    InputI1,        // digital input I1: KOVR, KOVR CONTROL, KOVR FIELDBUS
    CycleMode,      // cycle operation: the CONTROL variants
    Fieldbus,       // Modbus address and line settings: KOVR FIELDBUS only
};

struct Parameter {
    quint32 value;
    bool isSigned;
    Fit fit;
};

// Flat over the kinds: B 0..64, then W 0..18, then DW 0..1.
extern const std::array<Parameter, ParameterCount> parameters;
extern const std::array<QByteArrayView, TextCount> texts;

// True when a unit of `variant` carries parameters of `fit`. Unknown variants carry only
// the parameters every unit has.
bool fits(Fit fit, int variant);

} // namespace UnitDefaults
