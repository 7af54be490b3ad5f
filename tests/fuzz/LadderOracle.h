#pragma once
// The rules every ladder reader keeps, as fuzzing oracles. Whatever a ladder
// holds after a successful load saves, opens again with code 0 and the same
// data, and saves again to the same bytes; and every number it took leaves room for what
// the program does next (reports, posting, issuing), which the sanitizers
// watch. A broken rule aborts the run.

class Ladder;

void CheckFileRoundTrip(Ladder& ladder);
// The same through the online service: the text sent, read back as the
// service returns it, gives the same text again.
void CheckOnlineRoundTrip(Ladder& ladder);
// Prints the report, posts the results and generates an issue, as the menu
// commands do, and keeps the round-trip rule after each change.
void CheckLadderCommands(Ladder& ladder);
