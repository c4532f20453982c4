#include "appinfo.h"

namespace runtime {

std::u16string BaseName(std::u16string_view path, bool backslash) {
  const std::size_t slash = path.find_last_of(backslash ? u"/\\" : u"/");
  std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind(u'.');
  if (dot != std::u16string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::u16string(name);
}

}  // namespace runtime
