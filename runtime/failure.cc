#include "failure.h"

#include <cstdio>
#include <new>
#include <string>

#include "build_info.h"
#include "kernel32.h"

namespace runtime {

std::int32_t ErrorNumber(const std::exception_ptr& failure, std::string* detail) {
  try {
    std::rethrow_exception(failure);
  } catch (const RuntimeError& error) {
    return error.number() != 0 ? error.number() : E_FAIL;
  } catch (const FatalError& error) {
    if (detail != nullptr) *detail = error.detail();
    return error.number();
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  } catch (...) {
    return E_FAIL;
  }
}

std::string FailureReport(std::int32_t number) {
  char text[96];
  std::snprintf(text, sizeof text, "%s: run-time error %ld (0x%08lX)", build::kProgramName,
                static_cast<long>(number),
                static_cast<unsigned long>(static_cast<std::uint32_t>(number)));
  return text;
}

}  // namespace runtime
