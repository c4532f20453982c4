// KORVANESUPPORT0100.DLL as the program loads it, on a real system (under Wine in CI).

#include <gtest/gtest.h>

#include <string>

#include "support.h"

namespace {

TEST(SupportDll, FormatsTheVersionAndGivesThePath) {
  std::u16string version;
  ASSERT_EQ(ksFormatVersion(1, 0, 4, version), S_OK);
  EXPECT_EQ(version, u"1.00.0004");
  EXPECT_EQ(ksFormatVersion(1, -1, 4, version), E_INVALIDARG);

  std::u16string path;
  ASSERT_EQ(ksRegisterAppPath(path), S_OK);
  wchar_t module[MAX_PATH];
  const DWORD size = ::GetModuleFileNameW(nullptr, module, MAX_PATH);
  EXPECT_EQ(path, std::u16string(reinterpret_cast<const char16_t*>(module), size));
}

TEST(SupportDll, SeesNoDevelopmentEnvironmentAndNoMainWindow) {
  std::int16_t inIde = 7;
  ASSERT_EQ(ksIsInIDE(&inIde), S_OK);
  EXPECT_EQ(inIde, ::IsDebuggerPresent() ? -1 : 0);
  HWND window = reinterpret_cast<HWND>(1);
  ASSERT_EQ(ksGetThunderMainHandle(&window), S_OK);
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(ksSetWindowResIconAll(nullptr, std::u16string(u"A_MAIN")), S_OK);
}

TEST(SupportDll, PutsTheIconGroupOnAWindow) {
  const HWND window = ::CreateWindowExW(0, L"STATIC", L"icons", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                        nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr) << ::GetLastError();
  ASSERT_EQ(ksSetWindowResIconAll(window, std::u16string(u"A_MAIN")), S_OK);
  const auto big = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_BIG, 0));
  const auto small = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(big, nullptr);
  ASSERT_NE(small, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(big, &info));
  BITMAP bitmap{};
  ::GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  EXPECT_EQ(bitmap.bmWidth, ::GetSystemMetrics(SM_CXICON));
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);

  EXPECT_LT(ksSetWindowResIconAll(window, std::u16string(u"NO_SUCH_GROUP")), 0);
  ::DestroyWindow(window);
  EXPECT_EQ(ksSetWindowResIconAll(window, std::u16string(u"A_MAIN")), E_HANDLE);
}

TEST(SupportDll, RecodesForTheConsole) {
  std::u16string text = u"Korvane - WaitMs";
  ASSERT_EQ(ksAnsiToOem(text), S_OK);
  EXPECT_EQ(text, u"Korvane - WaitMs");  // ASCII is the same in both code pages

  text = u"Ждать";
  ASSERT_EQ(ksAnsiToOem(text), S_OK);
  // Written through the ANSI conversion, the result is the text's OEM bytes.
  std::string bytes(16, '\0');
  const int size =
      ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text.c_str()),
                            static_cast<int>(text.size()), bytes.data(), 16, nullptr, nullptr);
  bytes.resize(static_cast<std::size_t>(size));
  if (::GetACP() == 1251 && ::GetOEMCP() == 866) {
    EXPECT_EQ(bytes, "\x86\xA4\xA0\xE2\xEC");
  } else {
    ADD_FAILURE() << "run this test with LANG=ru_RU.UTF-8 (code pages 1251 and 866), not "
                  << ::GetACP() << " and " << ::GetOEMCP();
  }

  std::u16string empty;
  EXPECT_EQ(ksAnsiToOem(empty), S_OK);
  EXPECT_EQ(empty, u"");
}

}  // namespace
