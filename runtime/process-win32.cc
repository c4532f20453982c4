#include <string>
#include <vector>

#include "appinfo.h"
#include "build_info.h"
#include "failure.h"
#include "kernel32.h"
#include "process.h"

namespace runtime {

void Start(int, char**) {
  // The command line and everything else come from the system when asked for.
}

std::u16string CommandTail() {
  return std::u16string(
      TailAfterProgramName(reinterpret_cast<const char16_t*>(::GetCommandLineW())));
}

void ReportFailure(const std::string& line) {
  const std::string text = line + "\r\n";
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

namespace {

std::u16string ModulePath() {
  // Paths can be longer than MAX_PATH; grow until the name fits.
  std::u16string path(MAX_PATH, u'\0');
  for (;;) {
    const DWORD size = ::GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(path.data()),
                                            static_cast<DWORD>(path.size()));
    if (size == 0)
      throw RuntimeError(static_cast<std::int32_t>(HRESULT_FROM_WIN32(::GetLastError())));
    if (size < path.size()) {
      path.resize(size);
      return path;
    }
    if (path.size() >= 32768) throw RuntimeError(kOutOfMemory);
    path.resize(path.size() * 2);
  }
}

// "C:\\dir\\waitms.exe" -> "waitms": the part after the last slash or backslash, less its last
// extension. A leading dot starts the name, not an extension.
std::u16string BaseName(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u"/\\");
  std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind(u'.');
  if (dot != std::u16string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::u16string(name);
}

HRESULT LastError() {
  const DWORD error = ::GetLastError();
  return error != 0 ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

// The executable's version resource, read afresh on each request.
std::vector<char> VersionInfo() {
  const std::u16string path = ModulePath();
  const auto* name = reinterpret_cast<const wchar_t*>(path.c_str());
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(name, &ignored);
  if (size == 0) throw RuntimeError(static_cast<std::int32_t>(LastError()));
  std::vector<char> data(size);
  if (!::GetFileVersionInfoW(name, 0, size, data.data())) {
    throw RuntimeError(static_cast<std::int32_t>(LastError()));
  }
  return data;
}

const VS_FIXEDFILEINFO& FixedInfo(std::vector<char>& data) {
  void* block = nullptr;
  UINT size = 0;
  if (!::VerQueryValueW(data.data(), L"\\", &block, &size) || size < sizeof(VS_FIXEDFILEINFO)) {
    throw RuntimeError(static_cast<std::int32_t>(E_FAIL));
  }
  return *static_cast<const VS_FIXEDFILEINFO*>(block);
}

std::u16string StringValue(const wchar_t* key) {
  std::vector<char> data = VersionInfo();
  struct Translation {
    WORD language;
    WORD codePage;
  };
  void* block = nullptr;
  UINT size = 0;
  if (!::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &block, &size) ||
      size < sizeof(Translation)) {
    throw RuntimeError(static_cast<std::int32_t>(E_FAIL));
  }
  const auto* translation = static_cast<const Translation*>(block);
  std::wstring query = L"\\StringFileInfo\\";
  for (const WORD word : {translation->language, translation->codePage}) {
    for (int shift = 12; shift >= 0; shift -= 4)
      query += L"0123456789abcdef"[(word >> shift) & 0xF];
  }
  query += L"\\";
  query += key;
  if (!::VerQueryValueW(data.data(), query.c_str(), &block, &size)) {
    throw RuntimeError(static_cast<std::int32_t>(E_FAIL));
  }
  // The size counts characters, including the terminating NUL when there is one.
  std::u16string value(static_cast<const char16_t*>(block), size);
  while (!value.empty() && value.back() == u'\0') value.pop_back();
  return value;
}

}  // namespace

}  // namespace runtime

namespace App {

std::u16string Title() {
  return build::kTitle;
}

std::int16_t Major() {
  std::vector<char> data = runtime::VersionInfo();
  return static_cast<std::int16_t>(HIWORD(runtime::FixedInfo(data).dwFileVersionMS));
}

std::int16_t Minor() {
  std::vector<char> data = runtime::VersionInfo();
  return static_cast<std::int16_t>(LOWORD(runtime::FixedInfo(data).dwFileVersionMS));
}

std::int16_t Revision() {
  std::vector<char> data = runtime::VersionInfo();
  return static_cast<std::int16_t>(LOWORD(runtime::FixedInfo(data).dwFileVersionLS));
}

std::u16string LegalCopyright() {
  return runtime::StringValue(L"LegalCopyright");
}

std::u16string EXEName() {
  return runtime::BaseName(runtime::ModulePath());
}

}  // namespace App
