// The user's locale on POSIX, loaded one category at a time and only when a text needs it (ASCII
// needs none: runtime/text-posix.cc), as loading it is most of what a start would otherwise cost.
#pragma once

namespace runtime {

// Loads `category` (LC_CTYPE or LC_NUMERIC) from the environment, once. A locale that can't be
// loaded leaves C, unless the text is `needed` to be read exactly (the interval): then a locale
// named other than C raises a FatalError that names it and its variable, as C would misread it
// (German "1.500" as 2 ms). glibc's errno tells only its number: 67, 7, 70, else 53.
void UseLocale(int category, bool needed);

}  // namespace runtime
