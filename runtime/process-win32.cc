#include <string>

#include "kernel32.h"
#include "process.h"

namespace runtime {

void Start(int, char**) {
  // The command line and everything else come from the system when asked for.
}

std::u16string CommandTail() {
  return std::u16string(
      TailAfterProgramName(reinterpret_cast<const char16_t*>(::GetCommandLineW())));
}

void ReportFailure(const std::string& line) {
  const std::string text = line + "\r\n";
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

}  // namespace runtime
