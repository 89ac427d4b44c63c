// Saving a Package: the archive is built in memory, then written to a temporary file beside the
// target, flushed and (at once, or when a pending save is committed) renamed over it.
#include <fcntl.h>
#include <signal.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

#include "platform/word/docx/PackageImpl.h"
#include "platform/word/docx/PartName.h"

namespace tarvo::word::docx {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFastPackingFrom = std::size_t{1} << 20;

std::mutex hookMutex;
SaveFaultHook& Hook() {
  static SaveFaultHook hook;
  return hook;
}

bool Fails(SaveStep step) {
  std::lock_guard lock(hookMutex);
  return Hook() && Hook()(step);
}

Laufzeitfehler SaveError(const fs::path& path, const std::string& reason) {
  return Laufzeitfehler(
      fehlernummer::DateiZugriff,
      "Die Datei »" + path.string() + "« konnte nicht gespeichert werden (" + reason + ").");
}

std::string SystemReason(int error) {
  if (error == ENOSPC) return "kein Platz mehr auf dem Datenträger";
  if (error == EACCES || error == EPERM) return "keine Schreibberechtigung";
  if (error == EROFS) return "der Datenträger ist schreibgeschützt";
  if (error == ENOENT) return "der Ordner existiert nicht";
  if (error == EIO) return "Schreibfehler des Datenträgers";
  if (error == EISDIR) return "dort liegt ein Ordner";
  if (error == ENAMETOOLONG) return "der Name ist zu lang";
  if (error == EDQUOT) return "das Speicherkontingent ist erschöpft";
  return std::strerror(error);
}

// Why the file at `target` could not be replaced by a rename, as far as can be told beforehand;
// empty when nothing stands in the way. The kernel refuses to replace a file marked immutable
// or append-only, and, in a folder with the sticky bit (a shared folder), one owned by another
// user unless the folder is ours or we are root.
std::string NichtErsetzbar(const fs::path& target) {
  struct stat datei {};
  if (::lstat(target.c_str(), &datei) != 0) return {};
  if (S_ISREG(datei.st_mode)) {
    const int fd = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0) {
      int flags = 0;
      const bool gelesen = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
      ::close(fd);
      if (gelesen && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)))
        return "die Datei ist unveränderlich markiert (chattr +i oder +a) und kann nicht "
               "ersetzt werden";
    }
  }
  struct stat ordner {};
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  if (::stat(folder.c_str(), &ordner) == 0 && (ordner.st_mode & S_ISVTX)) {
    const uid_t ich = ::geteuid();
    if (ich != 0 && datei.st_uid != ich && ordner.st_uid != ich)
      return "die Datei gehört einem anderen Benutzer, und in diesem gemeinsamen Ordner "
             "(Sticky-Bit) darf nur er sie ersetzen";
  }
  return {};
}

// Owns a libzip handle during building; discards it if building fails.
struct ZipWriter {
  zip_source_t* memory = nullptr;
  zip_t* zip = nullptr;
  ~ZipWriter() {
    if (zip) zip_discard(zip);
    if (memory) zip_source_free(memory);
  }
};

// A source of data compressed already: libzip takes it as it stands, with the size and CRC it
// reports, when the entry's method is set to deflate.
struct Deflated {
  const DeflatedPart* part;
  std::size_t offset = 0;
};

zip_int64_t DeflatedSource(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
  auto* quelle = static_cast<Deflated*>(state);
  switch (command) {
    case ZIP_SOURCE_OPEN:
      quelle->offset = 0;
      return 0;
    case ZIP_SOURCE_READ: {
      const std::size_t rest = quelle->part->data.size() - quelle->offset;
      const std::size_t n = std::min<std::size_t>(rest, length);
      std::memcpy(data, quelle->part->data.data() + quelle->offset, n);
      quelle->offset += n;
      return static_cast<zip_int64_t>(n);
    }
    case ZIP_SOURCE_CLOSE:
      return 0;
    case ZIP_SOURCE_STAT: {
      auto* stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, nullptr);
      if (!stat) return -1;
      zip_stat_init(stat);
      stat->size = quelle->part->size;
      stat->comp_size = quelle->part->data.size();
      stat->crc = quelle->part->crc;
      stat->comp_method = ZIP_CM_DEFLATE;
      stat->encryption_method = ZIP_EM_NONE;
      stat->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC | ZIP_STAT_COMP_METHOD |
                    ZIP_STAT_ENCRYPTION_METHOD;
      return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(nullptr, data, length);
    case ZIP_SOURCE_FREE:
      delete quelle;
      return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                            ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
      return -1;
  }
}

void AddPart(zip_t* out, const Part& part, const Package::Impl& impl, const fs::path& path) {
  const SourceArchive* archive = impl.archive.get();
  if (part.directory) {
    if (zip_dir_add(out, part.name.c_str(), ZIP_FL_ENC_UTF_8) < 0)
      throw SaveError(path, "Ordner »" + part.name + "« nicht schreibbar");
    return;
  }
  zip_source_t* data = nullptr;
  bool copyRaw = !part.modified && part.sourceIndex >= 0 && archive && archive->zip;
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (copyRaw) {
    auto index = static_cast<zip_uint64_t>(part.sourceIndex);
    copyRaw =
        zip_stat_index(archive->zip, index, 0, &stat) == 0 && (stat.valid & ZIP_STAT_COMP_METHOD);
    if (copyRaw) data = zip_source_zip(out, archive->zip, index, 0, 0, -1);
  }
  bool packed = false;
  if (!data && part.modified && part.deflated) {
    auto* state = new Deflated{&*part.deflated};
    data = zip_source_function(out, DeflatedSource, state);
    if (!data) delete state;
    packed = data != nullptr;
  }
  if (!data) {
    copyRaw = false;
    const std::string& bytes = impl.Bytes(part, path.filename().string());
    data = zip_source_buffer(out, bytes.data(), bytes.size(), 0);
  }
  if (!data) throw SaveError(path, "zu wenig Speicher");
  zip_int64_t index = zip_file_add(out, part.name.c_str(), data, ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(data);
    throw SaveError(path, "Teil »" + part.name + "« nicht schreibbar");
  }
  // The copied part keeps its method, so libzip takes its compressed data as it stands. A large
  // new part is packed at the fastest level: a 12 MB main part then costs a third of the time
  // for a fifth more bytes.
  // A part given compressed was packed by its writer at the same levels.
  zip_int32_t method = copyRaw ? static_cast<zip_int32_t>(stat.comp_method) : ZIP_CM_DEFLATE;
  zip_uint32_t level = !copyRaw && !packed && part.bytes.size() > kFastPackingFrom ? 1 : 0;
  zip_set_file_compression(out, static_cast<zip_uint64_t>(index), method, level);
}

std::string BuildArchive(const Package::Impl& impl, const fs::path& path) {
  ZipWriter writer;
  zip_error_t error;
  zip_error_init(&error);
  writer.memory = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (writer.memory) writer.zip = zip_open_from_source(writer.memory, ZIP_TRUNCATE, &error);
  zip_error_fini(&error);
  if (!writer.zip) throw SaveError(path, "zu wenig Speicher");
  zip_source_keep(writer.memory);

  // [Content_Types].xml first, as readers that stream the archive expect.
  const std::string typesKey = PartKey("[Content_Types].xml");
  for (const Part& part : impl.parts)
    if (PartKey(part.name) == typesKey) AddPart(writer.zip, part, impl, path);
  for (const Part& part : impl.parts)
    if (PartKey(part.name) != typesKey) AddPart(writer.zip, part, impl, path);

  if (zip_close(writer.zip) != 0)
    throw SaveError(path, std::string("ZIP-Archiv nicht erstellbar: ") +
                              zip_error_strerror(zip_get_error(writer.zip)));
  writer.zip = nullptr;

  std::string bytes;
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_source_stat(writer.memory, &stat) != 0 || zip_source_open(writer.memory) != 0)
    throw SaveError(path, "ZIP-Archiv nicht lesbar");
  bytes.resize(stat.size);
  zip_int64_t got = zip_source_read(writer.memory, bytes.data(), stat.size);
  zip_source_close(writer.memory);
  if (got < 0 || static_cast<zip_uint64_t>(got) != stat.size)
    throw SaveError(path, "ZIP-Archiv nicht lesbar");
  return bytes;
}

constexpr const char* kTemporaryMark = ".tmp";

fs::path TemporaryPath(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  return target.parent_path() /
         ("." + target.filename().string() + kTemporaryMark + std::to_string(getpid()) + "-" +
          std::to_string(counter++) + "-" + std::to_string(stamp % 100000));
}

// Takes the write lock of an open file description (held until it is closed, also across a
// fork); false when another holder has it.
bool LockFile(int fd) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// The process number in a temporary file's name ".NAME.tmpPID-N-STAMP"; 0 when the name is not
// one of ours.
pid_t TemporaryOwner(const std::string& name) {
  if (name.size() < 2 || name[0] != '.') return 0;
  const auto mark = name.rfind(kTemporaryMark);
  if (mark == std::string::npos || mark < 2) return 0;
  const std::string rest = name.substr(mark + std::strlen(kTemporaryMark));
  std::size_t dashes = 0;
  for (char c : rest) {
    if (c == '-')
      ++dashes;
    else if (c < '0' || c > '9')
      return 0;
  }
  if (dashes != 2 || rest.empty() || rest[0] == '-') return 0;
  const long pid = std::strtol(rest.c_str(), nullptr, 10);
  return pid > 0 ? static_cast<pid_t>(pid) : 0;
}

// Removes temporary files of our saves into `folder` that were left behind by a process that
// is gone (killed during a save): no process of that number runs here and nobody holds the
// file's lock. Anything else is left alone, and failures are ignored.
void RemoveLeftovers(const fs::path& folder) {
  std::error_code error;
  fs::directory_iterator entries(folder.empty() ? fs::path(".") : folder, error);
  if (error) return;
  for (const fs::directory_entry& entry : entries) {
    const pid_t owner = TemporaryOwner(entry.path().filename().string());
    if (owner == 0 || !entry.is_regular_file(error) || entry.is_symlink(error)) continue;
    if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
    int fd = ::open(entry.path().c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    if (LockFile(fd)) ::unlink(entry.path().c_str());
    ::close(fd);
  }
}

// The file a save to `path` replaces: `path` itself or, through symbolic links, their target
// (which need not exist yet).
fs::path ResolveLinks(const fs::path& path) {
  fs::path current = path;
  for (int hop = 0; hop < 40; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(current, error)) return current;
    fs::path next = fs::read_symlink(current, error);
    if (error) return current;
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  return current;
}

// Gives the new file the permissions, owner and group of the file it replaces; where the owner
// cannot be kept (another user's file), the group is tried alone. Failures are ignored: the
// new file then has the usual permissions of a new file.
void KeepAttributes(int fd, const fs::path& target) {
  struct stat old {};
  if (::stat(target.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) return;
  if (::fchown(fd, old.st_uid, old.st_gid) != 0)
    (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  (void)::fchmod(fd, old.st_mode & 07777);
}

// Writes `bytes` to a new file at `temporary`, locked and flushed to disk, and returns it open.
// Removes it on failure.
int WriteTemporary(const fs::path& temporary, const std::string& bytes, const fs::path& target,
                   const fs::path& shown) {
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) throw SaveError(shown, SystemReason(errno));
  LockFile(fd);
  int failure = 0;
  std::size_t done = 0;
  while (done < bytes.size() && !failure) {
    if (Fails(SaveStep::Write)) {
      failure = ENOSPC;
      break;
    }
    ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0)
      failure = written < 0 ? errno : EIO;
    else
      done += static_cast<std::size_t>(written);
  }
  if (!failure) KeepAttributes(fd, target);
  if (!failure && Fails(SaveStep::Flush)) failure = EIO;
  if (!failure && ::fsync(fd) != 0) failure = errno;
  if (failure) {
    ::unlink(temporary.c_str());
    ::close(fd);
    throw SaveError(shown, SystemReason(failure));
  }
  return fd;
}

}  // namespace

void SetSaveFaultHookForTesting(SaveFaultHook hook) {
  std::lock_guard lock(hookMutex);
  Hook() = std::move(hook);
}

PendingSave::PendingSave(fs::path shown, fs::path target, fs::path temporary, int descriptor)
    : shown_(std::move(shown)),
      target_(std::move(target)),
      temporary_(std::move(temporary)),
      descriptor_(descriptor) {}

PendingSave::PendingSave(PendingSave&& other) noexcept
    : shown_(std::move(other.shown_)),
      target_(std::move(other.target_)),
      temporary_(std::move(other.temporary_)),
      descriptor_(std::exchange(other.descriptor_, -1)),
      committed_(std::exchange(other.committed_, true)) {}

PendingSave& PendingSave::operator=(PendingSave&& other) noexcept {
  if (this != &other) {
    Discard();
    shown_ = std::move(other.shown_);
    target_ = std::move(other.target_);
    temporary_ = std::move(other.temporary_);
    descriptor_ = std::exchange(other.descriptor_, -1);
    committed_ = std::exchange(other.committed_, true);
  }
  return *this;
}

PendingSave::~PendingSave() {
  Discard();
}

void PendingSave::Discard() noexcept {
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
  committed_ = true;
}

void PendingSave::Commit(bool neueBehalten) {
  if (committed_) return;
  int failure = Fails(SaveStep::Rename) ? EIO : 0;
  if (!failure && ::rename(temporary_.c_str(), target_.c_str()) != 0) failure = errno;
  if (failure && neueBehalten) {
    // What goes with the new file is stored already: keep it under a name of its own beside
    // the target, where no later save clears leftovers.
    fs::path neu = target_;
    neu.replace_extension(".neu" + target_.extension().string());
    for (int i = 2; ::access(neu.c_str(), F_OK) == 0; ++i) {
      neu = target_;
      neu.replace_extension(".neu" + std::to_string(i) + target_.extension().string());
    }
    const bool behalten = ::rename(temporary_.c_str(), neu.c_str()) == 0;
    const fs::path liegt = behalten ? neu : temporary_;
    committed_ = true;  // nothing is removed now
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    throw SaveError(shown_, SystemReason(failure) + "; das neue Dokument liegt in »" +
                                liegt.string() + "«");
  }
  if (failure) {
    Discard();
    throw SaveError(shown_, SystemReason(failure));
  }
  committed_ = true;
  ::close(descriptor_);
  descriptor_ = -1;
  // Make the rename itself durable; a failure here no longer endangers either file.
  const fs::path folder = target_.parent_path();
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

PendingSave Package::PrepareSave(const fs::path& path) const {
  std::string bytes = BuildArchive(*impl_, path);
  const fs::path named = path.parent_path().empty() ? fs::path(".") / path : path;
  const fs::path target = ResolveLinks(named);
  std::error_code error;
  if (fs::is_directory(target, error)) throw SaveError(path, SystemReason(EISDIR));
  // What would refuse the rename at the end is found now, before anything is written or a
  // caller commits what goes with the file.
  if (const std::string grund = NichtErsetzbar(target); !grund.empty())
    throw SaveError(path, grund);
  RemoveLeftovers(target.parent_path());
  const fs::path temporary = TemporaryPath(target);
  const int fd = WriteTemporary(temporary, bytes, target, path);
  return PendingSave(path, target, temporary, fd);
}

void Package::Save(const fs::path& path) const {
  PrepareSave(path).Commit();
}

}  // namespace tarvo::word::docx
