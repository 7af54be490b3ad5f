#pragma once
// After a dialog has changed the current event, the views that show it (the
// main window's panes and grids) are shown anew. The main window installs
// how, so that the kinds' dialogs need not know the window; with nothing
// installed nothing is shown.

#include <functional>

void RefreshEventViews();

// Installs the refresh; empty removes it.
void SetEventViewsRefresh(std::function<void()> refresh);
