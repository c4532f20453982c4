#include <cstdint>
#include <exception>
#include <string>

#include "console.h"
#include "failure.h"
#include "kernel32.h"
#include "modmain.h"
#include "number.h"
#include "process.h"
#include "support.h"
#include "wait.h"

namespace modMain {

namespace {

// One step of the wait command in continue-on-error mode: a failure that it raises is recorded in
// `lastError` and execution goes on after the step.
template <class Step>
void ResumeNext(std::int32_t& lastError, Step step) {
  try {
    step();
  } catch (const std::exception&) {
    lastError = runtime::ErrorNumber(std::current_exception());
  }
}

}  // namespace

void Main() {
  std::u16string appPath;
  runtime::Check(ksRegisterAppPath(appPath));
  InitCommonControls();

  std::int16_t inIde = 0;
  runtime::Check(ksIsInIDE(&inIde));
  if (inIde == 0) {
    HWND hMain = nullptr;
    runtime::Check(ksGetThunderMainHandle(&hMain));
    runtime::Check(ksSetWindowResIconAll(hMain, std::u16string(u"A_MAIN")));
  }

  RunWait();
}

void RunWait() {
  std::int32_t lastError = 0;
  std::int32_t interval = 0;
  ResumeNext(lastError, [&] { interval = runtime::ToLong(runtime::CommandTail()); });

  if (lastError != 0) {
    ResumeNext(lastError, ShowUsage);
  } else if (interval == -1) {
    // Sleep would take -1 for INFINITE and never come back.
    ResumeNext(lastError, [] { ConsoleWrite(u"INFINITE value not supported!\r\n"); });
  } else if (interval < 0) {
    ResumeNext(lastError, ShowUsage);
  } else {
    ResumeNext(lastError,
               [&] { ConsoleWrite(u"Waiting " + runtime::Decimal(interval) + u" ms... "); });
    // Outside the continue-on-error steps: a wait that the system refuses is no outcome to
    // confirm with "Ok", so it ends the program with the run-time's report.
    SleepAtLeast(static_cast<DWORD>(interval));
    ResumeNext(lastError, [] { ConsoleWrite(u"Ok\r\n"); });
  }
}

}  // namespace modMain
