// The text each text tab shows, as blocks of the document's own bytes: the SQL, the information
// text, and the Full SQL script read straight from the sections and rows, never composed into a
// second copy.
#pragma once

#include "document/viewer.h"
#include "text/text_doc.h"

// The line tables of the SQL and information texts, built on the first visit of a tab that shows
// them and kept until the document changes. Owned by the text view; tab_lines_free releases them.
struct TabLines {
    LineTable sql, info;
    int sql_built, info_built;
};

// Empties the tables, freeing their offsets; to be called whenever the record gets a new document.
void tab_lines_free(TabLines *lines);

// The text of tab t into *doc (TAB_SQL, TAB_INFO, and TAB_FULLSQL for any other number, as
// tab_text chooses; TAB_DATA has none and gives an empty text), building the line tables it needs.
// The bytes read exactly as tab_text's text for that tab: for TAB_FULLSQL, the composed Full SQL
// script, byte for byte, without composing it. An absent section gives its placeholder, and so
// does a section whose line table cannot be had. Returns 1 when the text shows the tab's section
// (or the script), 0 when it shows a placeholder (so that a copy of the whole text copies "").
int tab_doc(Viewer *viewer, int t, TabLines *lines, TextDoc *doc);
