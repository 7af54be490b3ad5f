#pragma once
// The numeric codes that model operations return, 0 for success. The
// numbers are the system's own and never change: the error table, the
// dialogs that show their own texts for some of them, and older callers
// know them by number.

enum RXCode : short {
    rcOk = 0,
    rcCannotOpen = 1,    // the file cannot be opened
    rcEmptyLine = 3,     // an empty line where a player line is due
    rcNoMemory = 4,      // memory ran out, or the event could not be made
    rcBadData = 5,       // a file or an argument holds what cannot be taken
    rcBadDate = 6,       // a result's date is no date
    rcPlayerLimit = 7,   // the event holds the most players it may
    rcDuplicateName = 8, // another player has the same two names
    rcNoName = 9,        // neither a first nor a last name
    rcInternal = 10,     // a list failed or an entry is inconsistent
    rcResultLimit = 100, // the ladder holds the most results it may
    rcIssueLimit = 101,  // the ladder is at the last issue a file can hold
    rcDrawExists = 200,  // players cannot change while a draw stands
    rcNextRoundDecided = 201,
    rcPreviousRoundOpen = 202,
    rcByeRound = 203,
    rcGenderMissing = 300,
    rcScheduledTwice = 301,  // a player twice in one round
    rcNotMixed = 302,        // a box of a strictly mixed plan that is not
    rcIncompleteMatch = 303, // a box whose sides hold different numbers
    rcTooFewRounds = 304,
    rcTooFewCourts = 305,
    rcRoundRobinPlayers = 306,
    rcDoublesRoundRobinPlayers = 307,
    rcRoundRobinNeedsSingles = 308,
    rcRoundRobinNeedsDoubles = 309,
    rcDoublesRoundRobinMultipleOf4 = 310,
    rcFixedPartnerMultipleOf2 = 311,
    rcNotFound = 400, // not found, or not provided by this kind
};
