#include "common/Dateiart.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "errors/Laufzeitfehler.h"

namespace tarvo::dateiart {
namespace {

std::string Art(mode_t modus) {
  if (S_ISDIR(modus)) return "ein Ordner";
  if (S_ISCHR(modus) || S_ISBLK(modus)) return "ein Gerät";
  if (S_ISFIFO(modus)) return "eine FIFO (benannte Pipe)";
  if (S_ISSOCK(modus)) return "ein Socket";
  return "keine gewöhnliche Datei";
}

[[noreturn]] void Ungewoehnlich(const std::filesystem::path& pfad, const std::string& was,
                                mode_t modus) {
  throw Laufzeitfehler(fehlernummer::DateiZugriff,
                       "»" + pfad.string() + "« ist " + Art(modus) + " und kann nicht als " + was +
                           " dienen; erwartet wird eine gewöhnliche Datei.");
}

}  // namespace

void NurGewoehnlich(const std::filesystem::path& pfad, const std::string& was) {
  struct stat info {};
  if (::stat(pfad.c_str(), &info) != 0) return;
  if (!S_ISREG(info.st_mode)) Ungewoehnlich(pfad, was, info.st_mode);
}

std::string Lesen(const std::filesystem::path& pfad, std::uint64_t hoechstens,
                  const std::string& was) {
  struct stat info {};
  if (::stat(pfad.c_str(), &info) != 0)
    throw Laufzeitfehler(fehlernummer::DateiNichtGefunden,
                         "Die Datei »" + pfad.string() + "« wurde nicht gefunden.");
  if (!S_ISREG(info.st_mode)) Ungewoehnlich(pfad, was, info.st_mode);
  auto zuGross = [&] {
    return Laufzeitfehler(fehlernummer::DateiZugriff, "»" + pfad.string() + "« ist größer als " +
                                                          std::to_string(hoechstens >> 20) +
                                                          " MB und kann nicht als " + was +
                                                          " dienen.");
  };
  if (static_cast<std::uint64_t>(info.st_size) > hoechstens) throw zuGross();
  // O_NONBLOCK: should the file have been swapped for a FIFO since, the open does not wait.
  const int fd = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  auto unlesbar = [&] {
    return Laufzeitfehler(fehlernummer::DateiZugriff,
                          "Die Datei »" + pfad.string() +
                              "« kann nicht gelesen werden (keine Leseberechtigung oder "
                              "Lesefehler).");
  };
  if (fd < 0) throw unlesbar();
  struct stat offen {};
  if (::fstat(fd, &offen) != 0 || !S_ISREG(offen.st_mode)) {
    ::close(fd);
    Ungewoehnlich(pfad, was, offen.st_mode);
  }
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(offen.st_size));
  char puffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, puffer, sizeof puffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      throw unlesbar();
    }
    if (n == 0) break;
    // A file that grows while it is read stops at the bound all the same.
    if (bytes.size() + static_cast<std::size_t>(n) > hoechstens) {
      ::close(fd);
      throw zuGross();
    }
    bytes.append(puffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
}

}  // namespace tarvo::dateiart
