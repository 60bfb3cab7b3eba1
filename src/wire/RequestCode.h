#pragma once

// The command codes of the unit's requests. A unit acknowledges a request with the same code
// and bit 7 set ("4000" is answered by "C0", "0010" by "80").
namespace RequestCode {

inline constexpr int Monitor = 0x00;
inline constexpr int TorqueRecord = 0x01;
inline constexpr int WriteParameter = 0x32;
inline constexpr int ResetCounter = 0x33;
inline constexpr int WriteText = 0x34; // production data; item 1 is the date stamp
inline constexpr int UnitFunction = 0x3F;
inline constexpr int OpenSequence = 0x40;
inline constexpr int CloseSequence = 0x41;
inline constexpr int Autocalibration = 0x50;
inline constexpr int Motor = 0x51;
inline constexpr int OutputsTest = 0x70;
inline constexpr int CptTest = 0x71;
inline constexpr int SensorTest = 0x73;
inline constexpr int SensorCalibration = 0x74;
inline constexpr int TorqueCalibration = 0x75;
inline constexpr int ZeroMilliamp = 0x76;

} // namespace RequestCode
