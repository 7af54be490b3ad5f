#pragma once
// The rule every ladder reader keeps, as a fuzzing oracle: whatever a ladder
// holds after a successful load saves, opens again with code 0, and saves
// again to the same bytes. A broken rule aborts the run.

class Ladder;

void CheckFileRoundTrip(Ladder& ladder);
// The same through the online service: the text sent, read back as the
// service returns it, gives the same text again.
void CheckOnlineRoundTrip(Ladder& ladder);
