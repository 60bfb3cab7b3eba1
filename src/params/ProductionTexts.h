#pragma once

#include <QString>

struct DeviceImage;
class ServiceSheet;

// Production data as the unit reported them: the shown characters of each text.
QString productionText(const DeviceImage& image, int field);

// ZobrazVerzi: writes every production-data text into the text column of its row of the
// service sheet's production grid.
void ZobrazVerzi(const DeviceImage& image, ServiceSheet& sheet);
