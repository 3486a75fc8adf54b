// Test support: column types for the export tests, one kind a column, as read_column_types gives
// them.
#pragma once

#include <initializer_list>
#include <vector>

#include "document/column_types.h"

inline std::vector<ColumnType> kinds(std::initializer_list<ColumnKind> list) {
    std::vector<ColumnType> types;
    for (ColumnKind kind : list) types.push_back(ColumnType{kind, ""});
    return types;
}
