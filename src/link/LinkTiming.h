#pragma once

// The pace of the link: the timer intervals in milliseconds and how often an unanswered
// request is tried. The defaults are the tool's; tests that are not about timing run the same
// protocol at a faster pace.
struct LinkTiming {
    int startInterval = 100;     // the first tick after the program starts
    int replyTimeout = 300;      // a request unanswered for this long is sent again
    int longReplyTimeout = 4000; // command 0x3F (unit functions) takes the unit this long
    int nextRequestGap = 20;     // from a reply's last character to the next request
    int repeats = 3;             // sends of a request before the probe takes over
    int probes = 3;              // probes before the user is asked
};
