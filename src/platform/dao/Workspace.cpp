#include "platform/dao/Workspace.h"

#include "platform/dao/Connection.h"
#include "platform/dao/Database.h"

namespace tarvo::dao {

std::shared_ptr<Database> Workspace::OpenDatabase(const std::string& path) {
  return std::make_shared<Database>(OpenConnection(path, BusyTimeout));
}

std::shared_ptr<Database> Workspace::CreateDatabase(const std::string& path) {
  return std::make_shared<Database>(CreateConnection(path, BusyTimeout));
}

}  // namespace tarvo::dao
