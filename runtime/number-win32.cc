#include "kernel32.h"
#include "number.h"

namespace runtime {

namespace {

std::u16string LocaleText(LCTYPE what) {
  wchar_t text[16];  // the system allows at most four characters for either separator
  const int size = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, what, text, 16);
  if (size <= 1) return {};  // the count includes the terminating NUL
  return std::u16string(reinterpret_cast<const char16_t*>(text),
                        static_cast<std::size_t>(size - 1));
}

}  // namespace

Separators LocaleSeparators() {
  return {LocaleText(LOCALE_SDECIMAL), LocaleText(LOCALE_STHOUSAND)};
}

}  // namespace runtime
