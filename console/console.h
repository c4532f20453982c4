// The console writer: the program's only way out.
#pragma once

#include <string>

#include "kernel32.h"

namespace modMain {

// The standard output handle, fetched on the first write and kept for the life of the process.
// 0: not asked for yet (or the system had none to give); INVALID_HANDLE_VALUE: no standard output.
extern HANDLE hStdOut;

// Writes `text` to standard output as ANSI code-page bytes in a single write. Whether the write
// succeeds is not reported: a missing or broken standard output silences the program.
void ConsoleWrite(std::u16string text);

}  // namespace modMain
