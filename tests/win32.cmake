# The Windows build's tests, run under Wine through CMAKE_CROSSCOMPILING_EMULATOR.

# GoogleTest from the sources that Debian's googletest package ships, built for Windows.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# Wine chooses its ANSI and OEM code pages from the locale: Russian gives 1251 and 866. LC_ALL,
# since it goes before whatever LANG the caller has.
set(WAITMS_WINE_ENV "LC_ALL=ru_RU.UTF-8")
# Wine keeps the user's number format in the prefix's registry and rewrites it whenever a program
# starts in another locale, so programs in two locales at once would read each other's
# separators. The tests that start Wine take turns.
set(WAITMS_WINE_LOCK wineprefix)

# The portable pieces of the run-time, built and run as Windows code.
add_executable(runtime_test
  ${SRC}/runtime/appinfo_test.cc
  ${SRC}/runtime/number_test.cc
  ${SRC}/runtime/process_test.cc)
target_link_libraries(runtime_test PRIVATE waitms_runtime gtest_main)
target_link_options(runtime_test PRIVATE -static)
gtest_discover_tests(runtime_test DISCOVERY_TIMEOUT 120 DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT "${WAITMS_WINE_ENV}" RESOURCE_LOCK ${WAITMS_WINE_LOCK})

# The Windows-only pieces against the real system: the test executable carries waitms.exe's
# version resource and icon group, and loads KORVANESUPPORT0100.DLL from beside it.
add_executable(win32_test
  ${SRC}/runtime/runtime-win32_test.cc
  ${SRC}/support/support-win32_test.cc
  ${CMAKE_BINARY_DIR}/generated/waitms.rc)
target_link_libraries(win32_test PRIVATE waitms_modmain waitms_support_import waitms_kernel32
  waitms_runtime gtest_main)
target_link_options(win32_test PRIVATE -static)
set_target_properties(win32_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
gtest_discover_tests(win32_test DISCOVERY_TIMEOUT 120 DISCOVERY_MODE PRE_TEST
  PROPERTIES ENVIRONMENT "${WAITMS_WINE_ENV}" RESOURCE_LOCK ${WAITMS_WINE_LOCK})

# The two files as files: format, imports by plain name, nothing else to ship, resources.
add_test(NAME pe_files COMMAND sh ${SRC}/tests/check-pe.sh ${CMAKE_BINARY_DIR}
  "${PROJECT_VERSION_MAJOR}, ${PROJECT_VERSION_MINOR}, ${PROJECT_VERSION_PATCH}, ${PROJECT_VERSION_TWEAK}")

# A support library whose calls fail on request (WAITMS_FAIL names the call), beside a copy of
# waitms.exe: what the run-time makes of a failing import.
add_library(failing_support SHARED failing_support.cc ${SRC}/support/korvanesupport0100.def)
target_link_libraries(failing_support PRIVATE waitms_flags)
target_link_options(failing_support PRIVATE -Wl,--kill-at -static -s)
set_target_properties(failing_support PROPERTIES OUTPUT_NAME KORVANESUPPORT0100 PREFIX "" SUFFIX ".DLL"
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/failing-support)
add_custom_command(TARGET failing_support POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:waitms> ${CMAKE_BINARY_DIR}/failing-support/)
add_dependencies(failing_support waitms)

# The end-to-end suite of the native build, built natively, run against waitms.exe under Wine.
include(ExternalProject)
ExternalProject_Add(e2e_native
  SOURCE_DIR ${SRC}/tests/e2e
  BINARY_DIR ${CMAKE_BINARY_DIR}/e2e-native
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)
set(WAITMS_E2E_TESTS
  AnnouncesWaitsAndConfirms WaitsNothingForZero RefusesInfiniteAndAnswersTheRestWithTheUsage
  ReadsNumbersTheLocalesWay WritesTheCopyrightInTheConsolesCharset ShowsTheNameItWasStartedUnder
  WaitsSilentlyWithoutAUsableStandardOutput ReportsAStartUpFailureOnStandardError)
foreach(test IN LISTS WAITMS_E2E_TESTS)
  add_test(NAME Wine.${test}
    COMMAND ${CMAKE_BINARY_DIR}/e2e-native/waitms_test --gtest_filter=Waitms.${test})
  set_tests_properties(Wine.${test} PROPERTIES
    TIMEOUT 3000
    RESOURCE_LOCK ${WAITMS_WINE_LOCK}
    ENVIRONMENT "WAITMS_PLATFORM=windows;WAITMS_LAUNCHER=${SRC}/cmake/wine-run;WAITMS_PROGRAM=${CMAKE_BINARY_DIR}/waitms.exe;WAITMS_FAILING_SUPPORT=${CMAKE_BINARY_DIR}/failing-support/waitms.exe")
endforeach()
