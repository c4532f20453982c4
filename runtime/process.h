// The run-time's side of the process: what it sets up before the program's start procedure, the
// command line it serves, and how it ends the process.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

// Prepares the process before anything else runs; keeps argv for CommandTail and the EXE name.
void Start(int argc, char** argv);

// Calls the start procedure. A failure that escapes it is reported on standard error and gives
// exit status 1; otherwise the status is 0.
int Run(void (*startProcedure)());

// The command line after the program's own name, unsplit. On POSIX the shell has split it, so the
// arguments are joined again with single blanks. Raises kTypeMismatch when the bytes are not valid
// text in the locale's charset, and a FatalError when a byte outside ASCII meets an LC_CTYPE locale
// that can't be loaded.
std::u16string CommandTail();

// The name the program was started under (argv[0] as Start got it), empty when it was started
// without one. POSIX only: Windows asks the system for the executable's path.
std::string_view StartedName();

// The part of a whole command line after the program's name and the blanks that follow it. The
// name ends at the closing quotation mark when it starts with one, else at the first blank, as
// Windows' own parser reads it; quotation marks in the rest are kept.
std::u16string_view TailAfterProgramName(std::u16string_view commandLine);

// Writes one line to standard error; failures are ignored (there is nowhere left to report them).
void ReportFailure(const std::string& line);

}  // namespace runtime
