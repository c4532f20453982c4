#include "user_locale.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "failure.h"

namespace runtime {

namespace {

// The failure number for an errno that says the locale is there but can't be loaded, else 0.
std::int32_t FailureFor(int error) {
  switch (error) {
    case ENOMEM:
    case EAGAIN:
      return kOutOfMemory;
    case EMFILE:
    case ENFILE:
      return kTooManyFiles;
    case EACCES:
      return kPermissionDenied;
    default:
      return 0;
  }
}

// The locale `category` is to follow: the first of LC_ALL, its own variable and LANG that is set.
std::string LocaleName(int category) {
  for (const char* variable :
       {"LC_ALL", category == LC_CTYPE ? "LC_CTYPE" : "LC_NUMERIC", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return {};
}

// The name as glibc files it too: "de_DE.UTF-8" as "de_DE.utf8", the charset in lower-case letters
// and digits alone, "iso" before one of digits alone.
std::string Normalized(std::string_view name) {
  const std::size_t dot = name.find('.');
  if (dot == std::string_view::npos) return std::string(name);
  const std::size_t at = std::min(name.find('@', dot), name.size());
  std::string charset;
  bool digits = true;
  for (const char c : name.substr(dot + 1, at - dot - 1)) {
    if (std::isalnum(static_cast<unsigned char>(c)) == 0) continue;
    digits = digits && std::isdigit(static_cast<unsigned char>(c)) != 0;
    charset += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (digits) charset.insert(0, "iso");
  return std::string(name.substr(0, dot + 1)) + charset + std::string(name.substr(at));
}

// Whether `fd`'s file can be mapped whole, as glibc maps locale files: the failure number if not.
std::int32_t MapFailure(int fd) {
  struct stat status {};
  if (::fstat(fd, &status) != 0 || status.st_size <= 0) return 0;
  const auto size = static_cast<std::size_t>(status.st_size);
  void* view = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (view == MAP_FAILED) return FailureFor(errno);
  ::munmap(view, size);
  return 0;
}

bool ReadAt(int fd, void* data, std::size_t size, std::uint32_t offset) {
  return ::pread(fd, data, size, offset) == static_cast<ssize_t>(size);
}

// Whether the archive's table of names (glibc's locarchive.h: a header, then a hash table of
// {hash, name offset, record offset}, probed by double hashing) holds `name`. A few small reads:
// the archive may be much larger than the memory left.
bool ArchiveHolds(int fd, const std::string& name) {
  std::uint32_t head[5];  // magic, serial, table offset, entries used, table size
  if (!ReadAt(fd, head, sizeof head, 0) || head[0] != 0xDE020109u || head[4] < 3) return false;
  std::uint32_t hash = static_cast<std::uint32_t>(name.size());
  for (const char c : name) hash = ((hash << 9) | (hash >> 23)) + static_cast<unsigned char>(c);
  if (hash == 0) hash = ~0u;
  const std::uint32_t size = head[4];
  std::uint32_t slot = hash % size;
  const std::uint32_t step = 1 + hash % (size - 2);
  for (std::uint32_t probe = 0; probe < size; ++probe) {
    std::uint32_t entry[3];  // hash, name offset, record offset
    if (!ReadAt(fd, entry, sizeof entry, head[2] + slot * std::uint32_t{sizeof entry}) ||
        entry[1] == 0) {
      return false;
    }
    std::string stored(name.size() + 1, '\0');
    if (entry[0] == hash && ReadAt(fd, stored.data(), stored.size(), entry[1]) &&
        stored == name + '\0') {
      return true;
    }
    slot = (slot + step) % size;
  }
  return false;
}

// Why the locale `category` names could not be loaded, looked for where glibc looks: LOCPATH's
// folders, else the locale archive and then /usr/lib/locale. 0 when it is not installed.
std::int32_t LoadFailure(int category) {
  const std::string name = LocaleName(category);
  if (name.empty() || name.find('/') != std::string::npos) return 0;
  const std::string names[] = {name, Normalized(name)};
  const char* locpath = std::getenv("LOCPATH");
  std::string folders = "/usr/lib/locale";
  if (locpath != nullptr && *locpath != '\0') {
    folders = locpath;
  } else {
    const int fd = ::open("/usr/lib/locale/locale-archive", O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno != ENOENT) return FailureFor(errno);  // unreadable: it may be in there
    if (fd >= 0) {
      const bool holds = ArchiveHolds(fd, names[0]) || ArchiveHolds(fd, names[1]);
      const std::int32_t failure = holds ? MapFailure(fd) : 0;
      ::close(fd);
      if (holds) return failure;
    }
  }
  const char* file = category == LC_CTYPE ? "/LC_CTYPE" : "/LC_NUMERIC";
  for (std::size_t begin = 0; begin <= folders.size();) {
    const std::size_t end = std::min(folders.find(':', begin), folders.size());
    for (const std::string& each : names) {
      const std::string path = folders.substr(begin, end - begin) + '/' + each + file;
      const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0 && errno != ENOENT && errno != ENOTDIR) return FailureFor(errno);
      if (fd >= 0) {
        const std::int32_t failure = MapFailure(fd);
        ::close(fd);
        return failure;
      }
    }
    begin = end + 1;
  }
  return 0;
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
  std::int32_t failure = FailureFor(errno);
  if (failure == 0) failure = LoadFailure(category);
  if (failure != 0) throw FatalError(failure);  // else not installed: C it is
}

}  // namespace runtime
