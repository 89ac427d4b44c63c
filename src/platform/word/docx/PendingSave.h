// PendingSave: the first half of a two-phase save. The new file has been written to a hidden
// temporary file beside its target and flushed to disk; Commit renames it over the target.
// A pending save that is destroyed without Commit removes its temporary file, so the target
// stays as it was. While pending, the temporary file is locked, so that a later save into the
// folder can tell a leftover of a process that is gone from a save still in progress.
#pragma once

#include <filesystem>

namespace tarvo::word::docx {

class PendingSave {
 public:
  PendingSave(PendingSave&& other) noexcept;
  PendingSave& operator=(PendingSave&& other) noexcept;
  PendingSave(const PendingSave&) = delete;
  PendingSave& operator=(const PendingSave&) = delete;
  ~PendingSave();  // removes the temporary file unless committed

  // Renames the temporary file over the target and makes the rename durable. Throws
  // Laufzeitfehler 75 naming the file when the rename fails: the target is then as it was and
  // the temporary file is removed, or, with `neueBehalten` (a caller that has stored what goes
  // with the new file already), kept as "NAME.neu.docx" beside the target, which the message
  // names. A second call does nothing. The usual reasons a rename fails (an immutable target, a
  // colleague's file in a shared folder with the sticky bit) are refused by PrepareSave already.
  void Commit(bool neueBehalten = false);

  // Where the file goes: the path asked for, or the file a symbolic link there points to.
  const std::filesystem::path& Target() const { return target_; }
  const std::filesystem::path& Temporary() const { return temporary_; }
  bool Committed() const { return committed_; }

 private:
  friend class Package;
  PendingSave(std::filesystem::path shown, std::filesystem::path target,
              std::filesystem::path temporary, int descriptor);
  void Discard() noexcept;

  std::filesystem::path shown_;  // the path as the caller named it, for messages
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  int descriptor_ = -1;  // open on the temporary file, holding its lock
  bool committed_ = false;
};

}  // namespace tarvo::word::docx
