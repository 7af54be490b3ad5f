#include "unified/window/eventFactory.h"

#include "unified/core/rxProgram.h"
#include "unified/core/rxerrors.h"
#include "unified/draw/Draw.h"
#include "unified/ladder/Ladder.h"
#include "unified/schedule/Matches.h"

#include <new>

namespace {

template <typename Kind> RXEvent* Make() {
    return new (std::nothrow) Kind();
}

EventMaker makers[3] = {Make<Ladder>, Make<Draw>, []() -> RXEvent* { return NewMatchPlan(); }};

} // namespace

EventMaker SetEventMaker(int kind, EventMaker maker) {
    EventMaker previous = makers[kind];
    makers[kind] = maker;
    return previous;
}

void CreateEvent(bool doubles) {
    const int kind = Settings.EventKind();
    RXEvent* event = kind >= 0 && kind <= 2 ? makers[kind]() : nullptr;
    CurrentLadder = kind == 0 ? dynamic_cast<Ladder*>(event) : nullptr;
    CurrentEvent = event;
    if (!IsEventUsable()) {
        ShowErrorMessage(rcNoMemory);
        return;
    }
    if (doubles) CurrentEvent->SetDoubles();
}

bool IsEventUsable() {
    return CurrentEvent != nullptr && CurrentEvent->State() != StateUnusable;
}

void DestroyCurrentEvent() {
    delete CurrentEvent;
    CurrentEvent = nullptr;
    CurrentLadder = nullptr;
}
