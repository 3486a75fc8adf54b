// Copies as work of the viewer window (plugin/long_job.h): the text built into the clipboard's
// memory on a thread of its own when the copy is large, put on the clipboard when handed over. A
// copy too large says so in the status line then; one asked while other work runs is refused.
#pragma once

#include <windows.h>

#include "document/viewer.h"
#include "export/copy_as.h"
#include "text/text_doc.h"
#include "work/job.h"

// The grid's selection (under its columns' titles with `titles`), or in a copy format with
// `as_format`, from a copy of the record taken now.
JobStart copy_grid_job(HWND window, const Viewer *viewer, bool titles, bool as_format,
                       CopyFormat format);

// [from, to) of a text view's text, which must stay while the copy runs (the view stops text work
// before its text goes). `owner` owns the clipboard afterwards.
JobStart copy_text_job(HWND window, HWND owner, const TextDoc *doc, size_t from, size_t to);

// The kind of those jobs, for the text view to know work that reads its text.
extern const JobKind COPY_JOB;
