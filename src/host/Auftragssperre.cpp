#include "host/Auftragssperre.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <pwd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <ctime>
#include <string>
#include <thread>

#include "errors/Laufzeitfehler.h"
#include "platform/dao/ServerAddress.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

// The file a path stands for: through symbolic links to their target, made absolute, so that
// two spellings of one file share one lock.
fs::path Aufgeloest(const fs::path& pfad) {
  std::error_code fehler;
  fs::path aufgeloest = fs::weakly_canonical(fs::absolute(pfad, fehler), fehler);
  return fehler ? fs::absolute(pfad, fehler) : aufgeloest;
}

fs::path Sperrdatei(const fs::path& datei, const std::string& zusatz) {
  const fs::path echt = Aufgeloest(datei);
  return echt.parent_path() / ("." + echt.filename().string() + zusatz + ".sperre");
}

bool Nehmen(int fd) {
  struct flock sperre {};
  sperre.l_type = F_WRLCK;
  sperre.l_whence = SEEK_SET;
  return ::fcntl(fd, F_OFD_SETLK, &sperre) == 0;
}

// Whether `fd` is still the file at `pfad`: its holder may have removed it (and another job
// made a new one) between our open and our lock.
bool NochDieDatei(int fd, const fs::path& pfad) {
  struct stat offen {
  }, dort{};
  return ::fstat(fd, &offen) == 0 && ::stat(pfad.c_str(), &dort) == 0 &&
         offen.st_dev == dort.st_dev && offen.st_ino == dort.st_ino;
}

// Who holds the lock, written into the lock file when it is taken:
// "Benutzer=…", "Rechner=…", "Seit=2026-12-07 01:23:45", "Prozess=…", one a line.
std::string Inhaberangaben() {
  std::string benutzer;
  if (const passwd* pw = ::getpwuid(::getuid())) benutzer = pw->pw_name;
  if (benutzer.empty()) benutzer = std::to_string(::getuid());
  char rechner[256] = {};
  ::gethostname(rechner, sizeof rechner - 1);
  return "Benutzer=" + benutzer + "\nRechner=" + rechner + "\nSeit=" + Zeitstempel() +
         "\nProzess=" + std::to_string(::getpid()) + "\n";
}

void InhaberEintragen(int fd) {
  const std::string text = Inhaberangaben();
  if (::ftruncate(fd, 0) == 0) {
    const ssize_t geschrieben = ::pwrite(fd, text.data(), text.size(), 0);
    (void)geschrieben;  // the lock holds without the note; the note only explains a refusal
  }
}

std::string Wert(const std::string& text, const std::string& schluessel) {
  const auto von = text.find(schluessel + "=");
  if (von == std::string::npos) return {};
  const auto anfang = von + schluessel.size() + 1;
  return text.substr(anfang, text.find('\n', anfang) - anfang);
}

std::string Sekunden(std::chrono::milliseconds warten) {
  const auto s = static_cast<long>(std::lround(warten.count() / 1000.0));
  return std::to_string(s) + (s == 1 ? " Sekunde" : " Sekunden");
}

}  // namespace

Auftragssperre::~Auftragssperre() {
  for (auto it = halter_.rbegin(); it != halter_.rend(); ++it) {
    // Removed while still locked, so a job waiting for it sees a new file and locks that one.
    ::unlink(it->datei.c_str());
    ::close(it->fd);
  }
}

std::string Auftragssperre::Inhaber(const fs::path& sperrdatei) {
  const int fd = ::open(sperrdatei.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return {};
  char puffer[1024];
  const ssize_t gelesen = ::pread(fd, puffer, sizeof puffer, 0);
  ::close(fd);
  if (gelesen <= 0) return {};
  const std::string text(puffer, static_cast<std::size_t>(gelesen));
  const std::string benutzer = Wert(text, "Benutzer");
  if (benutzer.empty()) return {};
  return benutzer + " auf " + Wert(text, "Rechner") + ", seit " + Wert(text, "Seit") +
         ", Prozess " + Wert(text, "Prozess");
}

void Auftragssperre::Dokument(const fs::path& datei, std::chrono::milliseconds warten) {
  Sperren(Sperrdatei(datei, ""), "Das Dokument »" + datei.string() + "«", warten);
}

void Auftragssperre::Rechnung(const fs::path& datenbank, std::int32_t nummer,
                              std::chrono::milliseconds warten) {
  if (dao::IsServerAddress(datenbank.string())) {
    const std::string was = "Die Rechnung " + std::to_string(nummer) + " in »" +
                            dao::WithoutPassword(datenbank.string()) + "«";
    auto sperre =
        dao::NamedLock::Acquire(datenbank.string(), "Rechnung-" + std::to_string(nummer), warten);
    if (!sperre)
      throw Laufzeitfehler(fehlernummer::DatenbankGesperrt,
                           was + " wird gerade von einem anderen Auftrag bearbeitet; nach " +
                               Sekunden(warten) + " Warten wurde dieser Auftrag abgelehnt.");
    serversperren_.push_back(std::move(sperre));
    return;
  }
  Sperren(Sperrdatei(datenbank, ".Rechnung-" + std::to_string(nummer)),
          "Die Rechnung " + std::to_string(nummer) + " in »" + datenbank.string() + "«", warten);
}

void Auftragssperre::Sperren(const fs::path& sperrdatei, const std::string& was,
                             std::chrono::milliseconds warten) {
  for (const Halter& h : halter_)
    if (h.datei == sperrdatei) return;
  const auto ende = std::chrono::steady_clock::now() + warten;
  for (;;) {
    const int fd = ::open(sperrdatei.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      // A folder nobody may write into: nothing can be saved there, so nothing to guard.
      if (errno == EACCES || errno == EROFS || errno == EPERM) return;
      if (errno == ENOENT)
        throw Laufzeitfehler(fehlernummer::DateiZugriff,
                             was + " ist nicht erreichbar: sein Ordner existiert nicht.");
      throw Laufzeitfehler(fehlernummer::DateiZugriff,
                           was + " kann nicht gesperrt werden (»" + sperrdatei.string() + "«).");
    }
    if (Nehmen(fd) && NochDieDatei(fd, sperrdatei)) {
      InhaberEintragen(fd);
      halter_.push_back({sperrdatei, fd});
      return;
    }
    ::close(fd);
    if (std::chrono::steady_clock::now() >= ende) {
      const std::string inhaber = Inhaber(sperrdatei);
      throw Laufzeitfehler(fehlernummer::DatenbankGesperrt,
                           was + " wird gerade von einem anderen Auftrag bearbeitet" +
                               (inhaber.empty() ? "" : " (" + inhaber + ")") +
                               (warten.count() > 0 ? "; nach " + Sekunden(warten) +
                                                         " Warten wurde dieser Auftrag abgelehnt."
                                                   : "."));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string Zeitstempel() {
  const std::time_t jetzt = std::time(nullptr);
  std::tm zeit{};
  ::localtime_r(&jetzt, &zeit);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &zeit);
  return text;
}

}  // namespace tarvo
