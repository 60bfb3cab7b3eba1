#pragma once

// Bits the tool and the unit share on the line, beside the kind in the low four bits.
namespace WireFlags {

// Type byte of the monitor record's parameter slot.
inline constexpr int TypeFaulty = 0x10;
inline constexpr int TypePresent = 0x20;
inline constexpr int TypeSigned = 0x40; // byte parameters only

// Flags byte of an item write ("320C"), and the index byte of a text write ("340C").
inline constexpr int NotWritable = 0x40;
inline constexpr int EndOfTransfer = 0x80;

} // namespace WireFlags
