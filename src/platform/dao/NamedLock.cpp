#include "platform/dao/NamedLock.h"

#include <thread>

#include "platform/dao/postgres/PgConnection.h"

namespace tarvo::dao {

NamedLock::NamedLock(std::unique_ptr<PgConnection> connection)
    : connection_(std::move(connection)) {}

NamedLock::~NamedLock() = default;

std::unique_ptr<NamedLock> NamedLock::Acquire(const std::string& database, const std::string& name,
                                              std::chrono::milliseconds wait) {
  auto connection = std::make_unique<PgConnection>(database, wait);
  const auto end = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (connection->TryLock("tarvo:" + name))
      return std::unique_ptr<NamedLock>(new NamedLock(std::move(connection)));
    if (std::chrono::steady_clock::now() >= end) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace tarvo::dao
