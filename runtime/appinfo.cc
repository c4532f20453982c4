// The metadata that is the same on every system; the rest is in appinfo-<platform>.cc.

#include "appinfo.h"

#include "build_info.h"

namespace App {

std::u16string Title() {
  return build::kTitle;
}

}  // namespace App
