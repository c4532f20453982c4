// The program's own libraries behind a main that returns at once. The smallest address space in
// which it gets that far is what the C and C++ run-times take before any of waitms's code runs;
// the fault matrix sets its memory limits from there.

#include "modmain.h"
#include "process.h"

int main() {
  // Referenced, so that the linker brings in everything that the program brings in.
  void (*volatile start)(int, char**) = runtime::Start;
  void (*volatile command)() = modMain::Main;
  (void)start;
  (void)command;
  return 0;
}
