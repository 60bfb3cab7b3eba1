#pragma once

#include <QByteArray>
#include <QString>

struct DeviceImage;
class ServiceSheet;

// The CPT output's two calibration values, CPT4 (W 6, the value for 4 mA) and CPT20 (W 7,
// for 20 mA), as the CPT dialog edits them while the unit drives the output live.
namespace CptValues {

inline constexpr int Cpt4Index = 6;
inline constexpr int Cpt20Index = 7;
inline constexpr int Minimum = 0;
inline constexpr int Maximum = 1023; // the output's 10-bit range
inline constexpr int MaxDigits = 4;

// Outcome of the edit check: the text the edit must show, and the notice to give first
// (empty for none).
struct EditCheck {
    QString text;
    QString notice;
};

// The edit check of a CPT edit: an empty text becomes "0" silently; a text that is no integer
// becomes "0" after the notice "ZadavejtePouzeCisla09"; an integer outside 0..1023 (typed
// with a minus sign, or above the range) is clamped into it after the notice of the bound it
// crossed, so what the edit shows is always what the unit is sent.
EditCheck check(const QString& text);

// The value of an edit's text: 0 for a text that is no integer, clamped into the four
// hexadecimal digits the unit is sent.
int value(const QString& text);

// The data field of the CPT poll (CptPoll): the value of the page shown (0 "4 mA",
// 1 "20 mA") as four hexadecimal digits.
QByteArray pollData(int page, const QString& edit1, const QString& edit2);

// OK: both edits into the target set (W 6, W 7).
void store(DeviceImage& image, const QString& edit1, const QString& edit2);

// Closing the dialog: the target values of W 6 and W 7 into their service-grid value cells.
void showInSheet(const DeviceImage& image, ServiceSheet& sheet);

} // namespace CptValues
