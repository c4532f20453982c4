// Run-time failures: a raised condition that carries a number. The numbers are either the
// run-time's own, listed below, or an HRESULT passed on from the support library.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace runtime {

// The run-time's own failure numbers.
inline constexpr std::int32_t kOverflow = 6;     // a number outside the range of its target type
inline constexpr std::int32_t kOutOfMemory = 7;  // an allocation failed, or a locale couldn't load
inline constexpr std::int32_t kTypeMismatch = 13;  // a text that is not a number, or not valid text
inline constexpr std::int32_t kCantPerform = 17;  // the system refuses every way to wait for a time
inline constexpr std::int32_t kFileNotFound = 53;      // a locale can't be loaded: not installed...
inline constexpr std::int32_t kTooManyFiles = 67;      // no file descriptor left to load the locale
inline constexpr std::int32_t kPermissionDenied = 70;  // the locale can't be read

class RuntimeError : public std::exception {
 public:
  explicit RuntimeError(std::int32_t number) : number_(number) {}
  std::int32_t number() const { return number_; }
  const char* what() const noexcept override { return "run-time error"; }

 private:
  std::int32_t number_;
};

// A failure that ends the program wherever it is raised. It derives from no standard exception, so
// that the command's continue-on-error steps, which go on past those, let it through to Run. Its
// detail, if any, follows the report: ": can't load the locale ...".
class FatalError {
 public:
  FatalError(std::int32_t number, std::string detail)
      : number_(number), detail_(std::move(detail)) {}
  std::int32_t number() const { return number_; }
  const std::string& detail() const { return detail_; }

 private:
  std::int32_t number_;
  std::string detail_;
};

// Raises a negative status as a run-time failure; success passes through.
inline void Check(std::int32_t status) {
  if (status < 0) throw RuntimeError(status);
}

// The failure number of an exception in flight: its own number, kOutOfMemory for an allocation
// failure, E_FAIL's value for anything else. Never 0. A FatalError's detail goes to `detail`.
std::int32_t ErrorNumber(const std::exception_ptr& failure, std::string* detail = nullptr);

// "waitms: run-time error -2147467259 (0x80004005)", without a line end.
std::string FailureReport(std::int32_t number);

}  // namespace runtime
