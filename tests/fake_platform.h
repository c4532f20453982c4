// Test doubles for everything beneath modMain: kernel32, comctl32 and the support library. They
// record each call in order and fail the ones a test asks them to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kernel32.h"

namespace fake {

struct Platform {
  // Every call, in order: the function's name, with the argument that matters after a colon
  // ("Sleep:250", "WriteFile:Ok\r\n", "ksSetWindowResIconAll:A_MAIN").
  std::vector<std::string> calls;
  // The bytes of each WriteFile call.
  std::vector<std::string> writes;
  // Support-library calls to fail with E_FAIL; a call named once fails on each of its calls.
  std::vector<std::string> failing;

  std::int16_t inIde = 0;
  HWND mainWindow = reinterpret_cast<HWND>(0x5678);
  HANDLE stdOut = reinterpret_cast<HANDLE>(0x1234);
  bool writeFails = false;
  // Makes every allocation fail from the first GetStdHandle until the next Sleep: the conversion
  // inside the first console write then runs out of memory.
  bool exhaustMemoryOnFirstWrite = false;
  // What ksAnsiToOem gives back in place of the copyright line; unset keeps the text.
  const char16_t* copyrightAfterOem = nullptr;
};

// The doubles' state, reset by Reset() before each test.
Platform& State();
void Reset();

// Gives modMain a command line, as the run-time would have it at start, in the C.UTF-8 locale.
void SetCommandLine(const std::vector<std::string>& args);

// The concatenation of all bytes written.
std::string Output();

}  // namespace fake
