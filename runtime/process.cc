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

}  // namespace runtime
