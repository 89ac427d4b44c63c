// Bookmark and Bookmarks: the named bookmarks of the main story (w:bookmarkStart/End pairs).
// Names are unique: adding a name that exists moves that bookmark. An invalid name (empty,
// longer than 40 characters, with a blank, or not starting with a letter) throws Laufzeitfehler
// 5828; a missing name throws 5941.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/word/Range.h"

namespace tarvo::word {

class Bookmark {
 public:
  Bookmark(std::shared_ptr<detail::Core> core, std::string name)
      : core_(std::move(core)), name_(std::move(name)) {}
  const std::string& Name() const { return name_; }
  // The marked text; throws 5941 once the bookmark is gone.
  word::Range Range() const;
  void Delete();

 private:
  std::shared_ptr<detail::Core> core_;
  std::string name_;
};

class Bookmarks {
 public:
  explicit Bookmarks(std::shared_ptr<detail::Core> core) : core_(std::move(core)) {}
  std::int32_t Count() const;
  bool Exists(const std::string& name) const;
  Bookmark Item(const std::string& name) const;
  // Marks `range` (a main-story range) with `name`.
  Bookmark Add(const std::string& name, const word::Range& range);

 private:
  std::shared_ptr<detail::Core> core_;
};

}  // namespace tarvo::word
