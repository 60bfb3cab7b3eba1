#pragma once

#include "link/LinkTiming.h"

// What the serial line carries: 9600 baud, 8N1, so ten bits a character.
namespace LineRate {

constexpr double CharactersPerSecond = 960.0;
// A monitor poll's frames: the request with its cursors and the 66-character record.
constexpr int MonitorRequestCharacters = 25;
constexpr int MonitorReplyCharacters = 75;

// The shortest time one monitor poll takes: both frames on the line, then the tool's gap.
constexpr double monitorPollSeconds(const LinkTiming& timing = {}) {
    return (MonitorRequestCharacters + MonitorReplyCharacters) / CharactersPerSecond +
           timing.nextRequestGap / 1000.0;
}

} // namespace LineRate
