// Saving a Package: the archive is built in memory, then written to a temporary file beside the
// target, flushed and renamed over it.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>

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

fs::path TemporaryPath(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  return target.parent_path() /
         ("." + target.filename().string() + ".tmp" + std::to_string(getpid()) + "-" +
          std::to_string(counter++) + "-" + std::to_string(stamp % 100000));
}

// Writes `bytes` to a new file at `temporary`, flushed to disk; removes it on failure.
void WriteTemporary(const fs::path& temporary, const std::string& bytes, const fs::path& target) {
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) throw SaveError(target, SystemReason(errno));
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
  if (!failure && Fails(SaveStep::Flush)) failure = EIO;
  if (!failure && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && !failure) failure = errno;
  if (failure) {
    ::unlink(temporary.c_str());
    throw SaveError(target, SystemReason(failure));
  }
}

}  // namespace

void SetSaveFaultHookForTesting(SaveFaultHook hook) {
  std::lock_guard lock(hookMutex);
  Hook() = std::move(hook);
}

void Package::Save(const fs::path& path) const {
  std::string bytes = BuildArchive(*impl_, path);
  const fs::path target = path.parent_path().empty() ? fs::path(".") / path : path;
  const fs::path temporary = TemporaryPath(target);
  WriteTemporary(temporary, bytes, path);
  int failure = Fails(SaveStep::Rename) ? EIO : 0;
  if (!failure && ::rename(temporary.c_str(), target.c_str()) != 0) failure = errno;
  if (failure) {
    ::unlink(temporary.c_str());
    throw SaveError(path, SystemReason(failure));
  }
  // Make the rename itself durable; a failure here no longer endangers either file.
  int folder = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
}

}  // namespace tarvo::word::docx
