// The grid's column widths: each column as wide as its title (with the header's margins and room
// for a sort arrow) and the widest of the cells of the first rows (those the user sees first), at
// most a third of the viewer window, the last column filling what is left of the view; and a
// column fitted to the rows in view when its header's divider is double-clicked. Measured here
// with one device context for every text: the list view's own sizing takes one for each cell it
// measures, which under Wine costs more than the rest of opening a file, and to fit a column it
// would ask for every row of the file.
#pragma once

#include <windows.h>

#include "document/viewer.h"

// Sizes the grid's columns 0 to col_count - 1 to their titles and to the cells of the first
// `rows` rows as the grid shows them.
void fit_column_widths(HWND grid, const Viewer *viewer, int32_t rows);

// Sizes column col to its title and the cells of the rows in view, however wide they are.
void fit_column_to_view(HWND grid, const Viewer *viewer, int32_t col);
