// POSIX executables carry no version resource: the values are the build's own, and the name is
// the one the program was started under.

#include <string_view>

#include "appinfo.h"
#include "build_info.h"
#include "process.h"
#include "text.h"

namespace App {

std::int16_t Major() {
  return build::kMajor;
}
std::int16_t Minor() {
  return build::kMinor;
}
std::int16_t Revision() {
  return build::kRevision;
}
std::u16string LegalCopyright() {
  return build::kLegalCopyright;
}

std::u16string EXEName() {
  // argv[0] as started, so that a symlink or a copy under another name shows that name. The whole
  // file name: here "waitms-1.0" or "wm.sh" is what the user types to run it again.
  // A process may be started with no argv[0] at all; it still has a name to show.
  const std::string_view started = runtime::StartedName();
  const std::size_t slash = started.rfind('/');
  const std::string_view name =
      slash == std::string_view::npos ? started : started.substr(slash + 1);
  return runtime::FromLocaleLenient(name.empty() ? build::kProgramName : name);
}

}  // namespace App
