#include "tests/fuzz/LadderOracle.h"

#include "tests/fuzz/FuzzSupport.h"
#include "tests/ladder/OnlineForm.h"
#include "unified/core/rxreport.h"
#include "unified/ladder/Ladder.h"

#include <string>
#include <vector>

void CheckFileRoundTrip(Ladder& ladder) {
    const std::string first = ScratchFile("first.lad");
    const std::string second = ScratchFile("second.lad");
    if (!ladder.Save(first)) Fail("a ladder that loaded does not save");
    Ladder again;
    const short code = again.Load(first);
    if (code != rcOk) Fail("the saved ladder does not open again: code " + std::to_string(code));
    if (!again.Save(second)) Fail("the reopened ladder does not save");
    if (ReadBytes(first) != ReadBytes(second)) Fail("the second save differs from the first");
}

void CheckOnlineRoundTrip(Ladder& ladder) {
    std::string sent;
    ladder.SaveToText(sent);
    if (sent.empty()) Fail("a ladder that loaded gives no online text");
    Ladder online;
    const short code = online.LoadFromText(Downloaded(sent));
    if (code != rcOk) Fail("the online text does not read back: code " + std::to_string(code));
    std::string again;
    online.SaveToText(again);
    if (again != sent) Fail("the online text read back gives another text");
}

void CheckLadderCommands(Ladder& ladder) {
    {
        std::vector<std::string> lines;
        rxReport report(lines);
        ladder.PrintReport(report);
    }
    if (ladder.PostResults(false) == rcOk) CheckFileRoundTrip(ladder);
    if (ladder.GenerateIssue() == rcOk) CheckFileRoundTrip(ladder);
    std::vector<std::string> lines;
    rxReport report(lines);
    ladder.PrintReport(report);
}
