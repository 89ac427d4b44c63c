// Document: a .docx document opened from a package, with its main story and its comments held as
// XML DOMs and the model (ranges, tables, comments, shapes, bookmarks, selection) as typed views
// over them. XML the model does not know stays in place and is written back as it was; parts it
// did not change are saved byte for byte. Open throws Laufzeitfehler (53 missing file, 75
// unreadable file) with a German message naming the file and the reason, and never writes
// anything; Save writes atomically, so a failed save leaves the old file intact.
// Including this header brings the whole model.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "common/Variant.h"
#include "platform/word/Application.h"
#include "platform/word/Bookmarks.h"
#include "platform/word/Comment.h"
#include "platform/word/Range.h"
#include "platform/word/Selection.h"
#include "platform/word/Shape.h"
#include "platform/word/Table.h"
#include "platform/word/WdConstants.h"
#include "platform/word/docx/PendingSave.h"

namespace tarvo::word {

namespace docx {
class Package;
}  // namespace docx

class Document : public Objekt {
 public:
  static std::shared_ptr<Document> Open(const std::filesystem::path& path);
  // A new blank document (one empty paragraph).
  static std::shared_ptr<Document> New();
  // A document over a package already in memory.
  static std::shared_ptr<Document> FromPackage(docx::Package package);
  // A document whose main part is `documentXml` (and comments part `commentsXml` when given),
  // in a blank package; for tests and tools.
  static std::shared_ptr<Document> FromXml(const std::string& documentXml,
                                           const std::string& commentsXml = {});

  ~Document() override;

  // Serialises the changed parts into the package and saves it atomically to `path`.
  void Save(const std::filesystem::path& path);
  // The first half of Save: the new file written and flushed beside `path`, renamed over it
  // when the pending save is committed (docx::Package::PrepareSave).
  docx::PendingSave PrepareSave(const std::filesystem::path& path);

  std::shared_ptr<word::Application> Application() const { return application_; }
  word::Tables Tables() const;
  word::Comments Comments() const;
  // The whole main story.
  word::Range Content() const;
  // A range of the main story; throws 5 when start or end lies outside it.
  word::Range Range(std::int32_t start, std::int32_t end) const;
  word::Shapes Shapes() const;
  word::Bookmarks Bookmarks() const;

  // The main part's XML as it would be saved now.
  std::string MainXml() const;
  // The comments part's XML as it would be saved now ("" without comments).
  std::string CommentsXml() const;
  // The package with every change of the model written into it.
  const docx::Package& Package();

  const std::shared_ptr<detail::Core>& Core() const { return core_; }

 private:
  Document() = default;
  std::shared_ptr<detail::Core> core_;
  std::shared_ptr<word::Application> application_;
};

}  // namespace tarvo::word
