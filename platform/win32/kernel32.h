// On Windows the program calls the real kernel32 and comctl32.
#pragma once

#include <commctrl.h>
#include <windows.h>
