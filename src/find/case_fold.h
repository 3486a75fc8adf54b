// Case folding for search: the form each character takes when case is ignored.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The code point cp compares as when case is ignored: Unicode's simple case folding (its
// CaseFolding.txt, statuses C and S, of Unicode 15.0.0), so an upper-case, title-case or variant
// form goes to its lower-case letter (final sigma to sigma, the micro sign to mu, the theta symbol
// to theta), and anything else stays as it is. Every script with case is covered, beyond the
// Basic Multilingual Plane too (Deseret, Osage, Adlam, ...); Cherokee folds to its capitals, as
// Unicode has it. The table is generated: tools/unicode/make_tables.py.
//
// Invariants: fold_case(fold_case(c)) == fold_case(c), and c and fold_case(c) take the same number
// of UTF-8 bytes, so a match in a text is exactly as many bytes long as the search text. The 34
// foldings that would change the length are left out on purpose (case_fold_table.inc lists them):
// U+017F long s (to s), U+1E9E capital sharp s, U+1FBE (to iota), the Ohm, Kelvin and Angstrom
// signs, U+023A and U+023E, the old Cyrillic forms U+1C80 to U+1C87, and the capitals of Latin
// Extended-C and -D whose small letters take two bytes (U+2C62, U+2C64, U+2C6D to U+2C70,
// U+2C7E, U+2C7F, U+A78D, U+A7AA to U+A7AE, U+A7B0 to U+A7B2, U+A7C5). Nor are foldings into
// more than one character (sharp s to "ss"), or Turkish dotted and dotless i.
uint32_t fold_case(uint32_t cp);

// At most this many code points fold alike (theta: Θ θ ϑ ϴ).
enum { CASE_VARIANTS_MAX = 4 };

// Every code point that folds as cp does, cp included, into out; returns how many (1 to
// CASE_VARIANTS_MAX).
size_t case_variants(uint32_t cp, uint32_t out[CASE_VARIANTS_MAX]);
