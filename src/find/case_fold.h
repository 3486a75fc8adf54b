// Case folding for search: the form each character takes when case is ignored.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The code point cp compares as when case is ignored: an upper-case, title-case or variant form
// goes to its lower-case letter (Unicode's simple case folding), anything else stays as it is.
// Covered: ASCII; Latin-1 (and the micro sign, as Greek mu); Latin Extended-A and -B; Latin
// Extended Additional; Greek (final sigma as sigma, the accented capitals, and the symbol forms of
// beta, theta, phi, pi, kappa, rho and epsilon as their letters); Cyrillic with its Supplement and
// Extended-B; Armenian; Georgian; fullwidth Latin letters.
//
// Invariants: fold_case(fold_case(c)) == fold_case(c), and c and fold_case(c) take the same number
// of UTF-8 bytes, so a match in a text is exactly as many bytes long as the search text. Foldings
// that would change the length are left out on purpose: U+017F long s (to s), U+212A Kelvin sign
// (to k), U+212B Angstrom sign (to a with ring), U+1E9E capital sharp s, U+1FBE (to iota), U+023A
// and U+023E, and the old Cyrillic forms U+1C80 to U+1C87. Not covered either: Greek Extended
// (polytonic), Glagolitic, Coptic, Cherokee, Latin Extended-C and -D, Roman numerals, circled
// letters, U+1C88, scripts beyond the Basic Multilingual Plane, and foldings into more than one
// character (sharp s to "ss").
uint32_t fold_case(uint32_t cp);

// At most this many code points fold alike (theta: Θ θ ϑ ϴ).
enum { CASE_VARIANTS_MAX = 4 };

// Every code point that folds as cp does, cp included, into out; returns how many (1 to
// CASE_VARIANTS_MAX).
size_t case_variants(uint32_t cp, uint32_t out[CASE_VARIANTS_MAX]);
