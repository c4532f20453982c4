// The user's locale on POSIX, loaded one category at a time and only when a text needs it: most
// runs read an ASCII number and write ASCII messages, which every locale treats alike, and
// loading a locale is most of what a start would otherwise cost.
#pragma once

namespace runtime {

// Loads `category` (LC_CTYPE or LC_NUMERIC) from the environment, once. A locale that is not
// installed leaves C. One that can't be loaded for want of memory or file descriptors ends the
// process with the failure report and status 1: read in C, German "1.500" would wait 2 ms.
void UseLocale(int category);

}  // namespace runtime
