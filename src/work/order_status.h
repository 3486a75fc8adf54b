// What the status line says of the rows the grid shows.
#pragma once

#include "document/viewer.h"

#include <stddef.h>

// The rows shown of the rows there are: "1,234 of 1,000,000 rows" while a filter holds or while an
// order made before the count ended shows fewer rows than are counted, else "1,000,000 rows".
// Written as UTF-8 into out (n bytes).
void format_row_count(char *out, size_t n, const Viewer *viewer);

// The header bar's status: the load's status (the table's name and its rows), or while the grid
// shows fewer rows than there are, the name and format_row_count's "1,234 of 1,000,000 rows"
// ("counting… " before it while the count goes on); on the Data tab then the cursor's column, its
// name as the header shows it and its type: "   ·   price numeric(10,2)". UTF-8 into out (n
// bytes, cut there).
void format_grid_status(char *out, size_t n, const Viewer *viewer);
