// The grid's column widths at load: each column as wide as its title and the widest of the cells
// of the first rows (those the user sees first), as the list view's own sizing to content makes
// them, the last column filling what is left of the view. Measured here with one device context
// for every text: the list view's own sizing takes one for each cell it measures, which under
// Wine costs more than the rest of opening a file.
#pragma once

#include <windows.h>

#include "document/viewer.h"

// Sizes the grid's columns 0 to col_count - 1 to their titles and to the cells of the first
// `rows` rows as the grid shows them.
void fit_column_widths(HWND grid, const Viewer *viewer, int32_t rows);
