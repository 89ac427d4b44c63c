#include "platform/dao/Workspace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/dao/Connection.h"
#include "platform/dao/Database.h"

namespace tarvo::dao {

std::shared_ptr<Database> Workspace::OpenDatabase(const std::string& path) {
  return std::make_shared<Database>(std::make_shared<Connection>(path, BusyTimeout));
}

std::shared_ptr<Database> Workspace::CreateDatabase(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path file = fs::path(path);
  fs::path folder = file.parent_path();
  std::error_code error;
  if (path.empty() || (!folder.empty() && !fs::is_directory(folder, error)))
    throw Laufzeitfehler(3044, "'" + folder.string() + "' ist kein gültiger Pfad.");
  // O_EXCL: an existing file, even one created a moment ago by someone else, is never touched.
  int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    if (errno == EEXIST)
      throw Laufzeitfehler(3204, "Die Datenbank '" + path + "' ist bereits vorhanden.");
    throw Laufzeitfehler(3051, "Die Datei '" + path + "' kann nicht angelegt werden.");
  }
  ::close(descriptor);
  return OpenDatabase(path);
}

}  // namespace tarvo::dao
