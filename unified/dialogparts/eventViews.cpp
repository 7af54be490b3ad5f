#include "unified/dialogparts/eventViews.h"

namespace {

std::function<void()>& Refresh() {
    static std::function<void()> refresh;
    return refresh;
}

} // namespace

void RefreshEventViews() {
    if (Refresh()) Refresh()();
}

void SetEventViewsRefresh(std::function<void()> refresh) {
    Refresh() = std::move(refresh);
}
