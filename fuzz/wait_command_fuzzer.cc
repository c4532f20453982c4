// Fuzzes the whole program in-process: the run-time's start, modMain::Main with the real support
// library, and the wait command, over kernel32 doubles that record writes and never sleep.
//
// Input: the first byte picks the state of standard output (bits 0-1) and the locale (the rest);
// the other bytes, split at each NUL, are the arguments after the program's name.
//
// The property: the program ends normally, asks for exactly one of the decision's outcomes and
// writes it whole: "Waiting N ms... " and "Ok" CR LF with the N that the reference reads from the
// command line and a Sleep of N, the INFINITE message, or the usage text; with no usable standard
// output, the same attempts and the same Sleep, and nothing written.

#include <langinfo.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "expected.h"
#include "expected_output.h"
#include "fake_kernel32.h"
#include "modmain.h"
#include "process.h"
#include "reference.h"

namespace {

struct Locale {
  std::string name;
  std::string decimal, group;  // as localeconv gives them, in the locale's charset
  std::string usage;           // the usage text's bytes in that charset
};

std::vector<Locale> gLocales;

// The copyright line in `codeset`, each character that it lacks as "?". Only the charsets of the
// locales below are known; for any other the locale is left out.
bool Encode(std::string_view utf8, const std::string& codeset, std::string& out) {
  if (codeset == "UTF-8") {
    out = utf8;
    return true;
  }
  if (codeset != "ANSI_X3.4-1968" && codeset != "CP1251") return false;
  out.clear();
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
      c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
    }
    i += length;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (codeset == "CP1251" && c >= 0x410 && c <= 0x44F) {
      out += static_cast<char>(0xC0 + (c - 0x410));
    } else if (codeset == "CP1251" && (c == 0x401 || c == 0x451)) {
      out += static_cast<char>(c == 0x401 ? 0xA8 : 0xB8);
    } else {
      out += '?';
    }
  }
  return true;
}

std::string Usage(const std::string& copyright) {
  return expected_output::Usage(copyright, "waitms",
                                std::string(expected::kTitle) + " " + expected::kVersion);
}

[[noreturn]] void Fail(const std::string& what, const std::string& tail, const Locale& locale) {
  std::fprintf(stderr, "%s\n  locale %s, command tail (%zu bytes): \"%s\"\n", what.c_str(),
               locale.name.c_str(), tail.size(), tail.substr(0, 200).c_str());
  std::abort();
}

std::string Join(const std::vector<std::string>& texts) {
  std::string all;
  for (const auto& text : texts) all += "[" + text + "]";
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  for (const char* name :
       {"C", "C.UTF-8", "en_US.UTF-8", "de_DE.UTF-8", "ru_RU.UTF-8", "ru_RU.CP1251"}) {
    if (std::setlocale(LC_ALL, name) == nullptr) {
      std::fprintf(stderr, "wait command fuzzer: locale %s is not installed, left out\n", name);
      continue;
    }
    const std::lconv* conventions = std::localeconv();
    Locale locale{name, conventions->decimal_point, conventions->thousands_sep, {}};
    std::string copyright;
    if (!Encode(expected::kCopyrightUtf8, nl_langinfo(CODESET), copyright)) {
      std::fprintf(stderr, "wait command fuzzer: charset of %s unknown, left out\n", name);
      continue;
    }
    locale.usage = Usage(copyright);
    gLocales.push_back(locale);
  }
  std::setlocale(LC_ALL, "C");
  if (gLocales.empty()) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t control = data[0];
  static constexpr fake::StdOut kStdOut[] = {fake::StdOut::kWorks, fake::StdOut::kWorks,
                                             fake::StdOut::kMissing, fake::StdOut::kFails};
  const fake::StdOut stdOut = kStdOut[control & 3];
  const Locale& locale = gLocales[(control >> 2) % gLocales.size()];

  std::vector<std::string> args = {"waitms"};
  if (size > 1) {
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    std::size_t start = 0;
    for (;;) {
      const std::size_t nul = rest.find('\0', start);
      args.emplace_back(rest.substr(start, nul - start));
      if (nul == std::string_view::npos) break;
      start = nul + 1;
    }
  }
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::string tail;
  for (std::size_t i = 1; i < args.size(); ++i) tail += (i > 1 ? " " : "") + args[i];

  fake::Reset(stdOut);
  runtime::Start(static_cast<int>(args.size()), argv.data());
  std::setlocale(LC_ALL, locale.name.c_str());
  const int status = runtime::Run(modMain::Main);
  const fake::Kernel32& state = fake::State();
  if (status != 0) Fail("the program ended with status " + std::to_string(status), tail, locale);

  // The decision, from the reference's reading of the command line. On bytes: a tail that is not
  // valid text in the charset can't match the separators' bytes, the digits and the blanks alone.
  const reference::Outcome reading = reference::Convert<char>(tail, locale.decimal, locale.group);
  if (reading.kind == reference::Kind::kUnknown)
    Fail("the locale's separators are odd", tail, locale);
  std::vector<std::string> messages;
  std::vector<std::uint32_t> sleeps;
  if (reading.kind == reference::Kind::kValue && reading.value >= 0) {
    messages = {"Waiting " + std::to_string(reading.value) + " ms... ", "Ok\r\n"};
    sleeps = {static_cast<std::uint32_t>(reading.value)};
  } else if (reading.kind == reference::Kind::kValue && reading.value == -1) {
    messages = {expected_output::kInfinite};
  } else {
    messages = {locale.usage};
  }

  const std::vector<std::string> none;
  const auto& attempts = stdOut == fake::StdOut::kMissing ? none : messages;
  const auto& written = stdOut == fake::StdOut::kWorks ? messages : none;
  if (state.attempts != attempts || state.written != written || state.sleeps != sleeps) {
    std::string sleptFor;
    for (std::uint32_t ms : state.sleeps) sleptFor += " " + std::to_string(ms);
    Fail("attempted " + Join(state.attempts) + ", written " + Join(state.written) + ", slept" +
             sleptFor + "; expected " + Join(messages),
         tail, locale);
  }
  std::string output;
  for (const auto& bytes : state.written) output += bytes;
  if (!output.empty() && output.substr(output.size() - 2) != "\r\n") {
    Fail("output does not end with CR LF", tail, locale);
  }
  return 0;
}
