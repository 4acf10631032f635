// POSIX backend of ReplacementFile. The private file is made with O_TMPFILE
// where the file system allows it: it has no name while it is written, so
// even a kill -9 leaves nothing behind; only when complete is it linked under
// a random name and renamed over the output at once. Elsewhere (network and
// older file systems) it is a random name created exclusively with mode 0600.
// Names that exist are remembered for the interrupt handler, which removes
// them before the program dies of the signal.

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "platform/FaultInjection.h"
#include "platform/NativeFile.h"
#include "platform/posix/HostPath.h"

namespace platform::native {
namespace {

constexpr int kErrorFileExists = 80;
constexpr int kAttempts = 100;  // random names tried before giving up
constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

// --- names to remove on an interrupt -----------------------------------------
// Plain memory, read by the signal handler, which may only call
// async-signal-safe functions such as unlink. Written only while the
// interrupts are blocked, so the handler never sees a slot half-written.

struct Slot {
  volatile std::sig_atomic_t used;
  char path[PATH_MAX];
};
Slot slots[16];  // a set of eight outputs may wait for its renames together; a few spare

extern "C" void RemoveNamedThenDie(int signal) {
  for (Slot& slot : slots) {
    if (slot.used) unlink(slot.path);
  }
  struct sigaction fallback = {};
  fallback.sa_handler = SIG_DFL;
  sigaction(signal, &fallback, nullptr);
  raise(signal);  // delivered when the handler returns: the usual death by that signal
}

void RemoveOnInterrupt() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int signal : kInterrupts) {
    struct sigaction current;
    // An ignored signal (nohup, a background job) stays ignored, and a
    // handler of the program's own stays in charge.
    if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction action = {};
    action.sa_handler = RemoveNamedThenDie;
    sigfillset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}

sigset_t InterruptSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : kInterrupts) sigaddset(&set, signal);
  return set;
}

// Keeps the interrupts waiting while a name appears or goes together with
// its slot.
class InterruptsBlocked {
 public:
  InterruptsBlocked() {
    const sigset_t set = InterruptSet();
    sigprocmask(SIG_BLOCK, &set, &saved_);
  }
  ~InterruptsBlocked() { sigprocmask(SIG_SETMASK, &saved_, nullptr); }
  InterruptsBlocked(const InterruptsBlocked&) = delete;
  InterruptsBlocked& operator=(const InterruptsBlocked&) = delete;

 private:
  sigset_t saved_;
};

void Remember(const std::string& path) {
  if (path.size() >= PATH_MAX) return;  // no such name can be created anyway
  for (Slot& slot : slots) {
    if (slot.used) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.used = 1;
    return;
  }
}

void Forget(const std::string& path) {
  for (Slot& slot : slots) {
    if (slot.used && path == slot.path) slot.used = 0;
  }
}

void RemoveNamed(const std::string& path) {
  InterruptsBlocked blocked;
  unlink(path.c_str());
  Forget(path);
}

// --- the private file ----------------------------------------------------------

std::string FolderOf(const std::string& hostPath) {
  const std::size_t slash = hostPath.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : hostPath.substr(0, slash);
}

// 64 random bits, drawn from the system 32 at a time (a batch run names
// thousands of files).
unsigned long long RandomBits() {
  static unsigned long long pool[32];
  static std::size_t left = 0;
  static unsigned long long counter = 0;
  if (left == 0) {
    if (getrandom(pool, sizeof pool, GRND_NONBLOCK) == static_cast<ssize_t>(sizeof pool)) {
      left = std::size(pool);
    } else {
      timespec now{};
      clock_gettime(CLOCK_MONOTONIC, &now);
      return ((static_cast<unsigned long long>(now.tv_nsec) << 20) ^ static_cast<unsigned long long>(getpid())) ^ ++counter;
    }
  }
  return pool[--left];
}

// A name nobody can guess in advance; creation is exclusive all the same.
std::string RandomName(const std::string& folder) {
  static unsigned long long counter = 0;
  const unsigned long long random = RandomBits();
  char name[40];
  std::snprintf(name, sizeof name, "/.munemoji-%016llx.tmp", random ^ ++counter);
  return (folder == "/" ? "" : folder) + name;
}

// O_TMPFILE files are linked through /proc (linking the descriptor itself
// needs a privilege).
bool UnnamedFilesCanBeLinked() {
  static const bool linkable = access("/proc/self/fd", X_OK) == 0;
  return linkable;
}

// What a file created now would get: 0666 less the umask (which can only be
// read by setting it: the program has one thread).
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

int CreateNamed(const std::string& folder, const std::string& dest, int& fd, std::string& named) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string candidate = RandomName(folder);
    InterruptsBlocked blocked;
    fd = open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
      Remember(candidate);
      named = candidate;
      return 0;
    }
    if (errno != EEXIST) return WindowsCode(errno, dest);
  }
  return kErrorFileExists;
}

int LinkUnnamed(int fd, const std::string& dest, std::string& named) {
  const std::string source = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string candidate = RandomName(FolderOf(dest));
    if (linkat(AT_FDCWD, source.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      Remember(candidate);
      named = candidate;
      return 0;
    }
    if (errno != EEXIST) return WindowsCode(errno, dest);
  }
  return kErrorFileExists;
}

// Without replacing: renameat2's RENAME_NOREPLACE, or where a file system
// lacks it, a second name made by link (which never replaces) and the
// first removed. Either way no other file at dest is lost, even for a moment.
int RenameNew(const std::string& named, const std::string& dest) {
  if (renameat2(AT_FDCWD, named.c_str(), AT_FDCWD, dest.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (link(named.c_str(), dest.c_str()) != 0) return errno;
  unlink(named.c_str());
  return 0;
}

int RenameOver(const std::string& named, const std::string& dest, bool replace) {
  if (replace ? rename(named.c_str(), dest.c_str()) != 0 : (errno = RenameNew(named, dest)) != 0)
    return WindowsCode(errno, dest);
  Forget(named);
  return 0;
}

}  // namespace

int CreatePrivateBeside(const std::string& dest, NativeHandle& handle, std::string& privateName) {
  RemoveOnInterrupt();
  privateName.clear();
  const std::string folder = FolderOf(dest);
  if (UnnamedFilesCanBeLinked() && fault_injection::Check(fault_injection::Operation::kUnnamedFile) == 0) {
    // Made with the mode a new file gets: without a name, no one else can
    // open it anyway.
    const int fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd >= 0) {
      handle = fd;
      return 0;
    }
    // Refused by this file system (older kernels say EISDIR): use a name.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return WindowsCode(errno, dest);
  }
  int fd = -1;
  if (int code = CreateNamed(folder, dest, fd, privateName)) return code;
  handle = fd;
  return 0;
}

int CompletePrivate(NativeHandle& handle, const std::string& privateName, const std::string& dest, bool replace) {
  const int fd = static_cast<int>(handle);
  struct stat st;
  const bool exists = lstat(dest.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return error_code::kAccessDenied;  // as rename says
  // A named private file was the owner's alone until now.
  if (!privateName.empty() && fchmod(fd, NewFileMode()) != 0) return WindowsCode(errno, dest);
  // Flushed to the disk only where it replaces an earlier file, so that
  // after a crash the name holds the earlier file or the whole new one: a new
  // name has nothing to lose, and a flush costs about a millisecond a file
  // (bench/replace.sh).
  if (replace && exists && S_ISREG(st.st_mode) && fsync(fd) != 0) return WindowsCode(errno, dest);
  if (privateName.empty()) return 0;  // linked under a name, and closed, only with its rename
  // Closed while only the private name has it: a network file system
  // reports its last write errors here.
  handle = -1;
  return close(fd) != 0 ? WindowsCode(errno, dest) : 0;
}

int PutInPlace(NativeHandle handle, const std::string& privateName, const std::string& dest, bool replace) {
  const int fd = static_cast<int>(handle);
  std::string named = privateName;
  int code = 0;
  // From the moment the file has a name until the output's name is its own,
  // interrupts wait: a name appears or goes together with its slot.
  InterruptsBlocked blocked;
  if (named.empty()) code = LinkUnnamed(fd, dest, named);
  if (fd >= 0 && close(fd) != 0 && code == 0) code = WindowsCode(errno, dest);
  if (code == 0) code = RenameOver(named, dest, replace);
  if (code != 0 && !named.empty()) RemoveNamed(named);
  return code;
}

namespace {
sigset_t heldSaved;
int heldDepth = 0;
}  // namespace

void HoldInterrupts() {
  if (heldDepth++ > 0) return;
  const sigset_t set = InterruptSet();
  sigprocmask(SIG_BLOCK, &set, &heldSaved);
}

void ReleaseInterrupts() {
  if (--heldDepth == 0) sigprocmask(SIG_SETMASK, &heldSaved, nullptr);
}

void DiscardPrivate(NativeHandle handle, const std::string& privateName) noexcept {
  if (handle >= 0) close(static_cast<int>(handle));
  if (!privateName.empty()) RemoveNamed(privateName);
}

}  // namespace platform::native
