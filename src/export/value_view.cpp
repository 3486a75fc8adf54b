// The value view's text: the field found through the row walk, decoded whole, JSON indented.
#include "export/value_view.h"

#include "export/field_value.h"
#include "export/json_layout.h"
#include "export/row_fields.h"
#include "grid/shown_rows.h"

ValueShown cell_value(const Viewer *viewer, int32_t row, int32_t col, StrBuf *out) {
    out->data = nullptr;
    if (row < 0 || row >= shown_row_count(viewer) || col < 0 || col >= viewer->col_count)
        return VALUE_NONE;
    RowFields walk;
    row_fields_start(viewer, row, col, &walk);
    const char *raw = nullptr;
    size_t len = 0;
    if (!row_fields_next(&walk, &raw, &len) || field_is_null(raw, len)) return VALUE_NULL;
    if (!sb_init(out)) return VALUE_NO_MEMORY;
    value_decode(raw, len, out);
    if (out->failed) {
        sb_drop(out);
        return VALUE_NO_MEMORY;
    }
    return VALUE_TEXT;
}

ValueShown value_view_text(const Viewer *viewer, const ColumnType *types, int32_t row, int32_t col,
                           StrBuf *out) {
    const ValueShown shown = cell_value(viewer, row, col, out);
    if (shown != VALUE_TEXT || !types || types[col].kind != KIND_JSON) return shown;
    StrBuf indented;
    const JsonCheck check = json_indent(out->data, out->len, &indented);
    if (check == JSON_INVALID) return VALUE_NOT_JSON;
    sb_drop(out);
    if (check == JSON_NO_MEMORY) return VALUE_NO_MEMORY;
    *out = indented;
    return VALUE_JSON;
}
