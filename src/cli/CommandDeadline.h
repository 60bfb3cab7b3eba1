#pragma once

#include "cli/CliRequest.h"

// How long a command of kovr-cli may take before it gives up on a unit that answers but never
// gets done (a production text that never comes round, a unit answering just inside the reply
// timeout): a few times the shortest the command can take at the line rate.
namespace CommandDeadline {

// Whole seconds from the start of the command; 0 for one that never waits for a unit. A
// monitor without --count is bounded until its first record only: after that it runs until
// Ctrl-C, and a unit that falls silent ends it through the retries.
int defaultSeconds(const CliRequest& request);

// --timeout when given, else the default.
double seconds(const CliRequest& request);

} // namespace CommandDeadline
