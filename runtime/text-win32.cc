#include <limits>

#include "failure.h"
#include "kernel32.h"
#include "text.h"

namespace runtime {

namespace {

const wchar_t* Wide(std::u16string_view text) {
  return reinterpret_cast<const wchar_t*>(text.data());
}

int Length(std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw RuntimeError(kOutOfMemory);
  }
  return static_cast<int>(size);
}

}  // namespace

std::string ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  // The system's own conversion, as every Windows program's: a character the code page lacks
  // becomes the nearest one it has (best fit), else the code page's default character.
  const int size = Length(text.size());
  const int needed =
      ::WideCharToMultiByte(CP_ACP, 0, Wide(text), size, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, Wide(text), size, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

}  // namespace runtime
