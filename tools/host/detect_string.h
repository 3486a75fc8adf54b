// Which files a Lister module takes, read from the detect string it reports.
#pragma once

#include <string>
#include <vector>

// The extensions named by the EXT="..." terms of a detect string, as written between the quotes.
// Other terms (sizes, content tests, FORCE) and the operators joining terms are skipped: this
// host offers a file to the module on its extension alone.
std::vector<std::string> detect_extensions(const char *detect);

// Whether the last component of `path` (after its last '/' or '\\') ends in a dot followed by
// one of those extensions, compared without regard to ASCII case. A name without a dot has no
// extension and is never taken.
bool detect_accepts(const char *detect, const char *path);
