#include "process.h"

#include "failure.h"
#include "text.h"

namespace runtime {

int Run(void (*startProcedure)()) {
  try {
    startProcedure();
    return 0;
  } catch (...) {
    try {
      std::string detail;
      const std::int32_t number = ErrorNumber(std::current_exception(), &detail);
      ReportFailure(FailureReport(number) + detail);
    } catch (...) {
      // No memory even for the report: the status alone has to say it.
    }
    return 1;
  }
}

std::u16string_view TailAfterProgramName(std::u16string_view commandLine) {
  std::size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == u'"') {
    const std::size_t close = commandLine.find(u'"', 1);
    i = close == std::u16string_view::npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && !IsBlank(commandLine[i])) ++i;
  }
  while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
  return commandLine.substr(i);
}

}  // namespace runtime
