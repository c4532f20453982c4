// On Windows the program calls the real kernel32 and comctl32.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX  // std::min and std::max, not the macros
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <commctrl.h>
