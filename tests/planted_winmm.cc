// A winmm.dll left in the program's folder, that says so on standard output if it is ever loaded.
#include "kernel32.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
  static const char kLine[] = "winmm.dll from the program's folder\r\n";
  DWORD written = 0;
  if (reason == DLL_PROCESS_ATTACH)
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), kLine, sizeof kLine - 1, &written, nullptr);
  return TRUE;
}
