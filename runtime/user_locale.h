// The user's locale on POSIX, loaded one category at a time and only when a text needs it (ASCII
// needs none: runtime/text-posix.cc), as loading it is most of what a start would otherwise cost.
#pragma once

namespace runtime {

// Loads `category` (LC_CTYPE or LC_NUMERIC) from the environment, once. A locale that is not
// installed leaves C. One that is installed but can't be loaded, for want of memory or file
// descriptors or for want of permission, raises a FatalError: read in C, German "1.500" would
// wait 2 ms.
void UseLocale(int category);

}  // namespace runtime
