#include "process.h"

#include "failure.h"

namespace runtime {

int Run(void (*startProcedure)()) {
  try {
    startProcedure();
    return 0;
  } catch (...) {
    ReportFailure(FailureReport(ErrorNumber(std::current_exception())));
    return 1;
  }
}

std::u16string_view TailAfterProgramName(std::u16string_view commandLine) {
  std::size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == u'"') {
    const std::size_t close = commandLine.find(u'"', 1);
    i = close == std::u16string_view::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && commandLine[i] != u' ' && commandLine[i] != u'\t') ++i;
  }
  while (i < commandLine.size() && (commandLine[i] == u' ' || commandLine[i] == u'\t')) ++i;
  return commandLine.substr(i);
}

}  // namespace runtime
