// On Windows the program calls the real kernel32 and comctl32.
#pragma once

#include <windows.h>
#include <commctrl.h>
