#include <clocale>

#include "failure.h"
#include "number.h"
#include "text.h"
#include "user_locale.h"

namespace runtime {

Separators LocaleSeparators() {
  // A separator that does not decode in the LC_CTYPE charset (a mix of locales) is treated as
  // absent.
  UseLocale(LC_NUMERIC, true);
  const std::lconv* conventions = std::localeconv();
  auto separator = [](const char* bytes) -> std::u16string {
    if (bytes == nullptr) return {};
    try {
      return FromLocale(bytes);
    } catch (const RuntimeError&) {
      return {};
    }
  };
  return {separator(conventions->decimal_point), separator(conventions->thousands_sep)};
}

}  // namespace runtime
