// On Windows the metadata is the executable's version resource, read afresh on each request, and
// the name is the executable's file name.

#include <string>
#include <vector>

#include "appinfo.h"
#include "failure.h"
#include "kernel32.h"
#include "module_path.h"

namespace App {

namespace {

std::u16string ModulePath() {
  std::u16string path;
  runtime::Check(win32::ModulePath(path));
  return path;
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

std::vector<char> VersionInfo() {
  const std::u16string path = ModulePath();
  const auto* name = reinterpret_cast<const wchar_t*>(path.c_str());
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(name, &ignored);
  if (size == 0) throw runtime::RuntimeError(win32::LastError());
  std::vector<char> data(size);
  if (!::GetFileVersionInfoW(name, 0, size, data.data())) {
    throw runtime::RuntimeError(win32::LastError());
  }
  return data;
}

const VS_FIXEDFILEINFO& FixedInfo(std::vector<char>& data) {
  void* block = nullptr;
  UINT size = 0;
  if (!::VerQueryValueW(data.data(), L"\\", &block, &size) || size < sizeof(VS_FIXEDFILEINFO)) {
    throw runtime::RuntimeError(E_FAIL);
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
    throw runtime::RuntimeError(E_FAIL);
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
    throw runtime::RuntimeError(E_FAIL);
  }
  // The size counts characters, including the terminating NUL when there is one.
  std::u16string value(static_cast<const char16_t*>(block), size);
  while (!value.empty() && value.back() == u'\0') value.pop_back();
  return value;
}

}  // namespace

std::int16_t Major() {
  std::vector<char> data = VersionInfo();
  return static_cast<std::int16_t>(HIWORD(FixedInfo(data).dwFileVersionMS));
}

std::int16_t Minor() {
  std::vector<char> data = VersionInfo();
  return static_cast<std::int16_t>(LOWORD(FixedInfo(data).dwFileVersionMS));
}

std::int16_t Revision() {
  std::vector<char> data = VersionInfo();
  return static_cast<std::int16_t>(LOWORD(FixedInfo(data).dwFileVersionLS));
}

std::u16string LegalCopyright() {
  return StringValue(L"LegalCopyright");
}

std::u16string EXEName() {
  return BaseName(ModulePath());
}

}  // namespace App
