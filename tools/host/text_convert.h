// Conversions between the command line's UTF-8 and the platform's UTF-16 and 8-bit paths.
#pragma once

#include <string>

std::wstring wide_from_utf8(const std::string &text);
std::string utf8_from_wide(const std::wstring &text);

// The 8-bit (ANSI code page) form of a path, as ListLoad takes it. When the code page cannot spell
// the name, the file's short name is used instead, as far as the file system keeps one.
std::string ansi_path(const std::wstring &path);
