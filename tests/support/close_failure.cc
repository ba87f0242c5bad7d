// Test seam for failing close() calls, loaded with LD_PRELOAD: close() of a
// file whose path ends in $QUILLMORE_FAIL_CLOSE_SUFFIX closes it, then fails
// with EIO, as a full disk on NFS can report a lost write only at close.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool NamesFailingFile(int descriptor) {
  const char* suffix = std::getenv("QUILLMORE_FAIL_CLOSE_SUFFIX");
  if (suffix == nullptr || *suffix == '\0') return false;
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", descriptor);
  char target[4096];
  const ssize_t length = ::readlink(link, target, sizeof target - 1);
  if (length <= 0) return false;
  target[length] = '\0';
  const std::size_t suffixLength = std::strlen(suffix);
  return static_cast<std::size_t>(length) >= suffixLength &&
         std::strcmp(target + length - suffixLength, suffix) == 0;
}

}  // namespace

extern "C" int close(int descriptor) {
  using Close = int (*)(int);
  static const Close real = reinterpret_cast<Close>(::dlsym(RTLD_NEXT, "close"));
  const bool fail = NamesFailingFile(descriptor);
  const int result = real(descriptor);
  if (!fail || result != 0) return result;
  errno = EIO;
  return -1;
}
