// Disposal of a Viewer record's owned blocks.
#include "document/viewer.h"

#include <stdlib.h>

void viewer_free_blocks(Viewer *viewer) {
    free(viewer->full_sql);
    free(viewer->rows);
    free(viewer->copy_line);
    free(viewer->buf);
    viewer->full_sql = nullptr;
    viewer->rows = nullptr;
    viewer->copy_line = nullptr;
    viewer->buf = nullptr;
}

void viewer_delete(Viewer *viewer) {
    if (!viewer) return;
    viewer_free_blocks(viewer);
    free(viewer);
}
