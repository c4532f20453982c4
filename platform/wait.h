// The wait command's pause: never shorter than asked, and as little longer as the system allows.
#pragma once

#include "kernel32.h"

// Waits `milliseconds` (0 to 2147483647). Where the system refuses every way to wait for a time,
// raises runtime::kCantPerform instead: an "Ok" without the wait would be a lie.
void SleepAtLeast(DWORD milliseconds);
