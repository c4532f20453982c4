#include "console.h"

#include <algorithm>
#include <limits>

#include "text.h"

namespace modMain {

HANDLE hStdOut = nullptr;

void ConsoleWrite(std::u16string text) {
  if (hStdOut == nullptr) hStdOut = GetStdHandle(STD_OUTPUT_HANDLE);
  if (hStdOut == INVALID_HANDLE_VALUE) return;

  const std::string bytes = runtime::ToAnsi(text);
  if (bytes.empty()) return;
  // The program's texts are a few hundred bytes; a longer one would be cut, not wrapped around.
  const auto size =
      static_cast<DWORD>(std::min<std::size_t>(bytes.size(), std::numeric_limits<DWORD>::max()));
  DWORD written = 0;
  WriteFile(hStdOut, bytes.data(), size, &written, nullptr);
}

}  // namespace modMain
