// Fuzzes decoding in charsets that turn bytes into characters unusually. Any bytes decode or are
// refused without a fault, into valid UTF-16 with no U+0000 the bytes lacked; names show the same.
#include <dirent.h>

#include <algorithm>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "failure.h"
#include "text.h"

static std::vector<std::string> gLocales;  // a locale per charset in LOCPATH, from scripts/fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  DIR* dir = ::opendir(std::getenv("LOCPATH") != nullptr ? std::getenv("LOCPATH") : "/nowhere");
  while (const dirent* entry = dir != nullptr ? ::readdir(dir) : nullptr)
    if (entry->d_name[0] != '.') gLocales.emplace_back(entry->d_name);
  if (dir != nullptr) ::closedir(dir);
  if (gLocales.empty()) std::abort();           // run through scripts/fuzz, which makes them
  std::sort(gLocales.begin(), gLocales.end());  // an input picks the same charset every run
  // The run-time loads the environment's locale once, at the first text that needs it: now.
  runtime::FromLocaleLenient("\x80");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (std::setlocale(LC_CTYPE, gLocales[data[0] % gLocales.size()].c_str()) == nullptr)
    std::abort();
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::u16string shown = runtime::FromLocaleLenient(bytes);
  try {
    std::u16string text = runtime::FromLocale(bytes);
    if (std::count(text.begin(), text.end(), u'\0') > std::count(bytes.begin(), bytes.end(), '\0'))
      std::abort();
    std::replace_if(
        text.begin(), text.end(), [](char16_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); },
        u'?');
    if (text != shown) std::abort();
  } catch (const runtime::RuntimeError&) {
  }
  for (std::size_t i = 0; i < shown.size(); ++i) {  // surrogates in pairs, high then low
    if ((shown[i] >= 0xDC00 && shown[i] < 0xE000) ||
        (shown[i] >= 0xD800 && shown[i] < 0xDC00 &&
         (++i == shown.size() || shown[i] < 0xDC00 || shown[i] >= 0xE000)))
      std::abort();
  }
  return 0;
}
