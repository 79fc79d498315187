#include "base/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "base/cp949.h"

namespace tolmeo {
namespace {

// Symbolic links followed before a save gives up, as the kernel does.
constexpr int kMaxLinkHops = 40;
// Names of temporary files tried before a save gives up.
constexpr int kTemporaryNameTries = 100;

// A descriptor closed when it goes out of scope.
class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // Closes now, reporting the close's own failure (a full disk can show only here).
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

Failure ReadFailure(const std::string& cp949_path, const std::string& why) {
  return Failure{cp949_path + Ktext(u8" 파일을 읽지 못했습니다: ") + why};
}
Failure WriteFailure(const std::string& cp949_path, const std::string& why) {
  return Failure{cp949_path + Ktext(u8" 파일을 쓰지 못했습니다: ") + why};
}

Result<std::string> NativePath(const std::string& cp949_path) {
  if (std::optional<std::string> native = ExactUtf8FromCp949(cp949_path)) return *native;
  return Failure{Ktext(u8"경로에 CP949 글자가 아닌 바이트가 있어 파일 이름으로 쓸 수 없습니다: ") +
                 cp949_path};
}

// Where the executable lies.
std::string RealExeFolder() {
  std::error_code error;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "./";
  return ReachableFolder(exe.parent_path().string());
}

std::string& ExeFolderOverride() {
  static std::string folder;
  return folder;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::string NotRegularReason(mode_t mode) {
  if (S_ISDIR(mode)) return Ktext(u8"폴더입니다");
  if (S_ISFIFO(mode)) return Ktext(u8"FIFO 입니다");
  if (S_ISCHR(mode)) return Ktext(u8"문자 장치입니다");
  if (S_ISBLK(mode)) return Ktext(u8"블록 장치에는 쓰지 않습니다");
  if (S_ISSOCK(mode)) return Ktext(u8"소켓입니다");
  return Ktext(u8"일반 파일이 아닙니다");
}

// A FIFO or a character device (a terminal, /dev/null) cannot be replaced by a file without
// breaking whoever uses it, so its bytes go into it in place.
Status WriteInPlace(const std::string& native, const std::string& cp949_path, std::string_view bytes) {
  UniqueFd fd(::open(native.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) {
    if (errno == ENXIO) return WriteFailure(cp949_path, Ktext(u8"FIFO 를 읽는 프로그램이 없습니다"));
    return WriteFailure(cp949_path, SystemReason(errno));
  }
  struct stat opened {};
  if (::fstat(fd.get(), &opened) != 0) return WriteFailure(cp949_path, SystemReason(errno));
  if (!S_ISFIFO(opened.st_mode) && !S_ISCHR(opened.st_mode)) {
    return WriteFailure(cp949_path, Ktext(u8"쓰는 사이에 파일이 바뀌었습니다"));
  }
  ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
  if (!WriteAll(fd.get(), bytes) || !fd.Close()) return WriteFailure(cp949_path, SystemReason(errno));
  return Success();
}

// The file a chain of symbolic links ends in, which need not exist yet: a save through a link
// replaces the file the link points to and keeps the link.
Result<std::string> FinalTarget(std::string path, const std::string& cp949_path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    std::error_code error;
    std::filesystem::path next = std::filesystem::read_symlink(path, error);
    if (error) return WriteFailure(cp949_path, SystemReason(error.value()));
    path = next.is_absolute() ? next.string()
                              : (std::filesystem::path(path).parent_path() / next).string();
  }
  return WriteFailure(cp949_path, SystemReason(ELOOP));
}

bool& NamedTemporaryFilesOnly() {
  static bool named = false;
  return named;
}

std::string RandomTemporaryName() {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = ".tolmeo-";
  for (int i = 0; i < 8; ++i) name += kLetters[generator() % (sizeof kLetters - 1)];
  return name;
}

// The new contents on their way to the target's folder. An O_TMPFILE file has no name until
// it is complete, so a crash cannot leave it behind; where the file system lacks O_TMPFILE a
// short hidden name of our own stands in (short, so a target name at the length limit fits).
class PendingFile {
 public:
  static Result<PendingFile> Create(int folder_fd) {
    PendingFile file(folder_fd);
    if (!NamedTemporaryFilesOnly()) {
      file.fd_ = UniqueFd(::openat(folder_fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
      if (file.fd_) return file;
    }
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
      std::string name = RandomTemporaryName();
      file.fd_ = UniqueFd(::openat(folder_fd, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666));
      if (file.fd_) {
        file.name_ = name;
        return file;
      }
      if (errno != EEXIST) break;
    }
    return Failure{SystemReason(errno)};
  }

  PendingFile(PendingFile&& other) noexcept
      : folder_fd_(other.folder_fd_), fd_(std::move(other.fd_)), name_(std::move(other.name_)) {
    other.name_.clear();
  }
  ~PendingFile() {
    if (!name_.empty()) ::unlinkat(folder_fd_, name_.c_str(), 0);
  }

  int fd() const { return fd_.get(); }

  // Takes the owner and the permissions of the file it replaces. Only root can give a file to
  // someone else; for everyone else the owner stays theirs.
  void TakeOwnerAndMode(const struct stat& old) {
    if (::geteuid() == 0) (void)::fchown(fd_.get(), old.st_uid, old.st_gid);
    ::fchmod(fd_.get(), old.st_mode & 07777);
  }

  // Flushes the contents and puts the file in place of name in one step. A new anonymous file
  // takes its name directly and never has a temporary one.
  Status Publish(const std::string& name, bool replacing) {
    if (::fsync(fd_.get()) != 0) return Failure{SystemReason(errno)};
    if (name_.empty()) {
      if (!replacing && LinkAs(name)) return Finish();
      if (!LinkAnonymous()) return Failure{SystemReason(errno)};
    }
    if (!fd_.Close()) return Failure{SystemReason(errno)};
    if (::renameat(folder_fd_, name_.c_str(), folder_fd_, name.c_str()) != 0) {
      return Failure{SystemReason(errno)};
    }
    name_.clear();
    return Finish();
  }

 private:
  explicit PendingFile(int folder_fd) : folder_fd_(folder_fd) {}

  Status Finish() {
    if (fd_ && !fd_.Close()) return Failure{SystemReason(errno)};
    ::fsync(folder_fd_);  // the new name itself survives a power cut
    return Success();
  }

  bool LinkAs(const std::string& name) {
    std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
    return ::linkat(AT_FDCWD, self.c_str(), folder_fd_, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
  }

  // Gives the anonymous file a hidden name beside the target; rename then replaces atomically
  // (linkat alone cannot replace an existing file).
  bool LinkAnonymous() {
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
      std::string name = RandomTemporaryName();
      if (LinkAs(name)) {
        name_ = name;
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }

  int folder_fd_;
  UniqueFd fd_;
  std::string name_;  // the temporary name while it has one
};

// Writes a new file beside target and renames it over target, so the old file stays whole
// until the new one is complete. old is the file replaced, when there is one.
Status ReplaceFile(const std::string& target, const struct stat* old, const std::string& cp949_path,
                   std::string_view bytes) {
  std::filesystem::path path(target);
  std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
  std::string name = path.filename().string();
  UniqueFd folder_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder_fd) return WriteFailure(cp949_path, SystemReason(errno));
  Result<PendingFile> pending = PendingFile::Create(folder_fd.get());
  if (!pending) return WriteFailure(cp949_path, pending.reason());
  if (old) pending->TakeOwnerAndMode(*old);
  if (!WriteAll(pending->fd(), bytes)) return WriteFailure(cp949_path, SystemReason(errno));
  Status published = pending->Publish(name, old != nullptr);
  if (!published) return WriteFailure(cp949_path, published.reason());
  return Success();
}

}  // namespace

std::string SystemReason(int error) {
  switch (error) {
    case ENOENT: return Ktext(u8"그런 파일이나 폴더가 없습니다");
    case EACCES:
    case EPERM: return Ktext(u8"권한이 없습니다");
    case ENOSPC: return Ktext(u8"디스크에 남은 자리가 없습니다");
    case EDQUOT: return Ktext(u8"디스크 사용 한도를 넘었습니다");
    case EROFS: return Ktext(u8"읽기 전용 파일 시스템입니다");
    case EISDIR: return Ktext(u8"폴더입니다");
    case ENOTDIR: return Ktext(u8"경로 중간에 폴더가 아닌 것이 있습니다");
    case ENAMETOOLONG: return Ktext(u8"이름이 너무 깁니다");
    case ELOOP: return Ktext(u8"심볼릭 링크가 너무 많이 이어집니다");
    case EIO: return Ktext(u8"입출력 오류가 났습니다");
    case EMFILE:
    case ENFILE: return Ktext(u8"열린 파일이 너무 많습니다");
    case EFBIG: return Ktext(u8"파일이 너무 큽니다");
    case ENXIO:
    case ENODEV: return Ktext(u8"장치가 없습니다");
    case EBUSY:
    case ETXTBSY: return Ktext(u8"다른 곳에서 사용 중입니다");
    case ENOMEM: return Ktext(u8"메모리가 모자랍니다");
    default: break;
  }
  return Ktext(u8"시스템 오류 ") + std::to_string(error);
}

std::string ReachableFolder(const std::string& native_folder) {
  if (std::optional<std::string> cp949 = ExactCp949FromUtf8(native_folder)) return *cp949 + "/";
  int fd = ::open(native_folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return "./";
  return "/proc/self/fd/" + std::to_string(fd) + "/";
}

const std::string& ExeFolder() {
  static const std::string real = RealExeFolder();
  const std::string& override_folder = ExeFolderOverride();
  return override_folder.empty() ? real : override_folder;
}

void SetExeFolderForTesting(const std::string& cp949_folder) {
  std::string folder = cp949_folder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  ExeFolderOverride() = folder;
}

void UseNamedTemporaryFilesForTesting(bool named) { NamedTemporaryFilesOnly() = named; }

bool FileExists(const std::string& cp949_path) {
  Result<std::string> native = NativePath(cp949_path);
  struct stat status {};
  return native && ::stat(native->c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string NoFileReason(const std::string& cp949_path) {
  Result<std::string> native = NativePath(cp949_path);
  if (!native) return native.reason();
  struct stat status {};
  if (::stat(native->c_str(), &status) != 0) {
    return errno == ENOENT ? Ktext(u8"파일이 없습니다") : SystemReason(errno);
  }
  return NotRegularReason(status.st_mode);
}

// One read() of the size the file has; a file whose size the system does not know (under
// /proc) is read until its end. O_NONBLOCK keeps a FIFO from holding the open forever.
Result<std::string> ReadWholeFile(const std::string& cp949_path) {
  Result<std::string> native = NativePath(cp949_path);
  if (!native) return Failure{native.reason()};
  UniqueFd fd(::open(native->c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) {
    if (errno == ENOENT) return Failure{cp949_path + Ktext(u8" 파일이 없습니다")};
    return ReadFailure(cp949_path, SystemReason(errno));
  }
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) return ReadFailure(cp949_path, SystemReason(errno));
  if (!S_ISREG(status.st_mode)) return ReadFailure(cp949_path, NotRegularReason(status.st_mode));
  const auto known_size = static_cast<std::size_t>(status.st_size);
  if (known_size > kMaxReadBytes) return ReadFailure(cp949_path, SystemReason(EFBIG));
  std::string bytes(known_size > 0 ? known_size : 4096, '\0');
  std::size_t filled = 0;
  while (known_size == 0 || filled < known_size) {
    if (filled == bytes.size()) {
      if (bytes.size() >= kMaxReadBytes) return ReadFailure(cp949_path, SystemReason(EFBIG));
      bytes.resize(std::min(bytes.size() * 2, kMaxReadBytes));
    }
    ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return ReadFailure(cp949_path, SystemReason(errno));
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  bytes.resize(filled);
  return bytes;
}

Status WriteWholeFile(const std::string& cp949_path, std::string_view bytes) {
  Result<std::string> native = NativePath(cp949_path);
  if (!native) return Failure{native.reason()};
  struct stat status {};
  if (::stat(native->c_str(), &status) != 0) {
    if (errno != ENOENT) return WriteFailure(cp949_path, SystemReason(errno));
    Result<std::string> target = FinalTarget(*native, cp949_path);  // a new file, or a dangling link's
    if (!target) return Failure{target.reason()};
    return ReplaceFile(*target, nullptr, cp949_path, bytes);
  }
  if (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode)) return WriteInPlace(*native, cp949_path, bytes);
  if (!S_ISREG(status.st_mode)) return WriteFailure(cp949_path, NotRegularReason(status.st_mode));
  Result<std::string> target = FinalTarget(*native, cp949_path);
  if (!target) return Failure{target.reason()};
  return ReplaceFile(*target, &status, cp949_path, bytes);
}

std::vector<std::string> ListFolder(const std::string& cp949_folder, std::string_view extension) {
  std::vector<std::string> names;
  Result<std::string> native = NativePath(cp949_folder);
  if (!native) return names;
  std::error_code error;
  std::filesystem::directory_iterator it(*native, error);
  if (error) return names;
  const std::string suffix = "." + std::string(extension);
  for (const auto& entry : it) {
    if (!entry.is_regular_file(error)) continue;
    // A name CP949 cannot hold could not be opened again by its CP949 name: leave it out.
    std::optional<std::string> name = ExactCp949FromUtf8(entry.path().filename().string());
    if (name && name->size() > suffix.size() && name->ends_with(suffix)) names.push_back(*name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string CutAtLastDot(std::string_view name) {
  auto dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

}  // namespace tolmeo
