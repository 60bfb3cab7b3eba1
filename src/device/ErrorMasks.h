#pragma once

#include <QString>
#include <array>

struct DeviceImage;

// The unit's 32 error conditions as warnings (B 34..37) and errors (B 38..41): condition n is
// bit n mod 8 of the mask byte n div 8.
namespace ErrorMasks {

inline constexpr int Conditions = 32;
inline constexpr int FirstWarningByte = 34;
inline constexpr int FirstErrorByte = 38;

using Checks = std::array<bool, Conditions>;

// Dictionary key of condition n's name, as the main window's error grid shows it in row n + 1
// and the error-masks dialog lists it; empty outside 0..31.
QString conditionNameKey(int n);

// ZobrazMaskyChyb: the check marks of both lists from the target set.
Checks warnings(const DeviceImage& image);
Checks errors(const DeviceImage& image);

// NastavMaskyChyb: the eight mask bytes of the target set from the check marks.
void store(DeviceImage& image, const Checks& errors, const Checks& warnings);

// A click on item n of one list: a condition is never both a warning and an error, so an item
// that is now checked unchecks the same item of the other list. Unchecking touches nothing.
void exclusiveClick(const Checks& clicked, Checks& other, int n);

} // namespace ErrorMasks
