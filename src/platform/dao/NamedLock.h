// NamedLock: a lock that a database server holds for a name, so that jobs on several
// workstations do not work on one thing at once where no shared folder can hold a lock file.
// It lives in a connection of its own and is the server's session lock: the server drops it
// when the holder lets go, ends or is killed (its connection closes).
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace tarvo::dao {

class PgConnection;

class NamedLock {
 public:
  // Takes the lock `name` on the server that `database` (a server address) names, waiting up
  // to `wait` for another holder. Returns nullptr when it stayed held elsewhere all that time;
  // throws the connection's errors (3029, 3024, 3151, 3043).
  static std::unique_ptr<NamedLock> Acquire(const std::string& database, const std::string& name,
                                            std::chrono::milliseconds wait);
  ~NamedLock();
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;

 private:
  explicit NamedLock(std::unique_ptr<PgConnection> connection);
  std::unique_ptr<PgConnection> connection_;
};

}  // namespace tarvo::dao
