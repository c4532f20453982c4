// The process entry: the run-time starts, then runs the program's start procedure.

#include "modmain.h"
#include "process.h"

int main(int argc, char** argv) {
  runtime::Start(argc, argv);
  return runtime::Run(modMain::Main);
}
