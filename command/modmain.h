// modMain, the program's one module: the start procedure, the wait command and its usage text.
// The console writer belongs to it too (console/console.h).
#pragma once

namespace modMain {

// The start procedure: the Windows integration (application path, common controls, the main
// window's icons), then the wait command. Support-library failures pass on to the run-time.
void Main();

// The wait command: reads the interval from the command line, then waits and confirms, refuses
// INFINITE, or shows the usage text. It lets out two failures alone: a wait that the system
// refuses, and a locale that the environment names but that can't be loaded (see user_locale.h).
void RunWait();

// Writes the usage text in one piece. On a failure it writes nothing and passes the failure on.
void ShowUsage();

}  // namespace modMain
