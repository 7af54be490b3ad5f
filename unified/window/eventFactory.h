#pragma once
// Makes the current event for the kind in the settings.

class RXEvent;

// Makes a new current event of the settings' kind into CurrentEvent (and
// CurrentLadder for a ladder); when it cannot be made, shows error 4. The
// caller has destroyed the previous event. Doubles makes it a doubles event.
void CreateEvent(bool doubles);

// True when CurrentEvent exists and its construction did not fail.
bool IsEventUsable();

// Destroys the current event and empties both globals.
void DestroyCurrentEvent();

// How each kind is made (0 ladder, 1 draw, 2 match schedule); a maker
// returns null when memory runs out. Tests replace one to make the
// construction fail; the previous maker is given back.
using EventMaker = RXEvent* (*)();
EventMaker SetEventMaker(int kind, EventMaker maker);
