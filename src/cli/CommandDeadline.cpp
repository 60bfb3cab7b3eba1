#include "cli/CommandDeadline.h"

#include "image/DeviceImage.h"
#include "link/LineRate.h"
#include "link/LinkTiming.h"
#include "params/ParameterCatalogue.h"
#include "session/FullReadWatch.h"

#include <algorithm>
#include <cmath>

namespace {

// How many times the line-rate minimum a command is given: room for repeats after dropped or
// spoilt replies, and for a slow PC.
constexpr int Margin = 3;

int parameterCount() {
    using namespace ParameterCatalogue;
    return count(KindB) + count(KindW) + count(KindDW);
}

// Monitor records until the start-up refresh has read every parameter.
int parameterRecords() {
    return parameterCount() + FullReadWatch::RecordsAfterRefresh;
}

// Monitor records until the production texts have come round once as well: every record
// carries one character of them, and the unit may hold every text at its longest.
int fullRefreshRecords() {
    return std::max(parameterCount(), DeviceImage::TextCount * DeviceImage::TextCells) +
           FullReadWatch::RecordsAfterRefresh;
}

// A write: the unit's backup function (answered within the long timeout), one exchange per
// parameter and production text, the date stamp and the close; none is longer on the line
// than a monitor poll.
int writeExchanges() {
    return parameterCount() + ParameterCatalogue::ProductionFields + 2;
}

} // namespace

int CommandDeadline::defaultSeconds(const CliRequest& request) {
    using Command = CliRequest::Command;
    const double poll = LineRate::monitorPollSeconds();
    double minimum = 0;
    switch (request.command) {
    case Command::Ports: return 0;
    case Command::Read:
    case Command::Ident: minimum = fullRefreshRecords() * poll; break;
    case Command::Write:
        minimum = (fullRefreshRecords() + writeExchanges()) * poll +
                  LinkTiming{}.longReplyTimeout / 1000.0;
        // The unit as left is recorded once it has been read again.
        if (!request.noRecord) minimum += fullRefreshRecords() * poll;
        break;
    case Command::Diff:
        if (request.file != QLatin1String("unit") && request.otherFile != QLatin1String("unit"))
            return 0;
        minimum = fullRefreshRecords() * poll;
        break;
    case Command::Monitor: minimum = (parameterRecords() + request.count) * poll; break;
    }
    return int(std::ceil(Margin * minimum));
}

double CommandDeadline::seconds(const CliRequest& request) {
    return request.timeout > 0 ? request.timeout : defaultSeconds(request);
}
