#include "user_locale.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdlib>

#include "failure.h"
#include "process.h"

namespace runtime {

namespace {

// The failure number for an errno that says the system ran short of something, else 0.
std::int32_t Shortage(int error) {
  switch (error) {
    case ENOMEM:
    case EAGAIN:
      return kOutOfMemory;
    case EMFILE:
    case ENFILE:
      return kTooManyFiles;
    default:
      return 0;
  }
}

// glibc keeps most locales in one archive that it maps whole. When that mapping fails for want of
// memory, it goes on to look for the locale's own files and reports their absence instead, just
// as for a locale that is not installed. Mapping the archive here tells the two apart.
std::int32_t ArchiveShortage() {
  const int fd = ::open("/usr/lib/locale/locale-archive", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Shortage(errno);
  std::int32_t shortage = 0;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && status.st_size > 0) {
    const auto size = static_cast<std::size_t>(status.st_size);
    void* view = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (view == MAP_FAILED) {
      shortage = Shortage(errno);
    } else {
      ::munmap(view, size);
    }
  }
  ::close(fd);
  return shortage;
}

}  // namespace

void UseLocale(int category) {
  // The one record of what has been loaded: a bit per category.
  static unsigned loaded = 0;
  const unsigned bit = 1u << category;
  if ((loaded & bit) != 0) return;
  loaded |= bit;

  errno = 0;
  if (std::setlocale(category, "") != nullptr) return;
  std::int32_t shortage = Shortage(errno);
  if (shortage == 0) shortage = ArchiveShortage();
  if (shortage == 0) return;  // not installed: C it is
  try {
    ReportFailure(FailureReport(shortage));
  } catch (...) {
    // No memory even for the report: the status alone has to say it.
  }
  std::exit(1);
}

}  // namespace runtime
