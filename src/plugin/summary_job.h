// A column's summary asked for (Ctrl+I, the menu's Column summary) and shown in the value view in
// place of the grid, as work of the viewer (plugin/long_job.h): over 32 MiB of rows in a thread of
// its own, which Escape stops.
#pragma once

#include <windows.h>

#include "document/viewer.h"

// Sums up the cursor's column (the first on an empty grid) over the rows as shown; once handed
// over, the value view shows the summary and the status line says which column over which rows.
void ask_column_summary(HWND window, Viewer *viewer);
