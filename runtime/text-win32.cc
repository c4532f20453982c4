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

std::u16string Decode(std::string_view bytes, DWORD flags) {
  if (bytes.empty()) return {};
  const int size = Length(bytes.size());
  const int needed = ::MultiByteToWideChar(CP_ACP, flags, bytes.data(), size, nullptr, 0);
  if (needed <= 0) throw RuntimeError(kTypeMismatch);
  std::u16string text(static_cast<std::size_t>(needed), u'\0');
  ::MultiByteToWideChar(CP_ACP, flags, bytes.data(), size, reinterpret_cast<wchar_t*>(text.data()),
                        needed);
  return text;
}

}  // namespace

std::string ToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  // The system's own conversion, with the code page's default character for what it lacks.
  const int size = Length(text.size());
  const int needed =
      ::WideCharToMultiByte(CP_ACP, 0, Wide(text), size, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, Wide(text), size, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

std::u16string FromLocale(std::string_view bytes) {
  return Decode(bytes, MB_ERR_INVALID_CHARS);
}

std::u16string FromLocaleLenient(std::string_view bytes) {
  return Decode(bytes, 0);
}

}  // namespace runtime
