// Comment and Comments: the comments of a document. A comment has its own text story (Range),
// the commented text (Scope, between its range start and end markers) and its reference mark
// (Reference), which the word processor keeps right after the scope. Reference is the range a
// caller takes as "the range the comment is anchored to": a collapsed range at the end of the
// scope. Text inserted there goes after the markers and the mark, and deleting the text after
// it never removes them, so rewriting an amount right after a marker keeps the marker in place.
// A handle to a deleted comment throws Laufzeitfehler 5825; an index out of range throws 5941.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/word/Range.h"

namespace tarvo::word {

namespace detail {
struct CommentState;
}  // namespace detail

class Comment {
 public:
  Comment() = default;  // unset: every call throws 91

  // The comment's own text story; its Text() ends with the final paragraph mark "\r".
  word::Range Range() const;
  // The commented text in the main story (collapsed at the reference for a comment without
  // range markers).
  word::Range Scope() const;
  // The collapsed range at the reference mark, right after the scope (see above).
  word::Range Reference() const;
  std::string Author() const;
  std::string Initial() const;
  // Removes the comment, its markers and its mark; the handle then counts as deleted.
  void Delete();
  bool IsDeleted() const;
  bool operator==(const Comment& other) const;

  explicit Comment(std::shared_ptr<detail::CommentState> state) : state_(std::move(state)) {}

 private:
  const std::shared_ptr<detail::CommentState>& Checked() const;
  std::shared_ptr<detail::CommentState> state_;
};

// The comments of a document, or of a range, in document order of their reference marks.
class Comments {
 public:
  // The comments of `ids`, in that order; a list the document keeps is shared, not copied, so
  // a loop that asks the document for its comments again at every step stays linear.
  Comments(std::shared_ptr<detail::Core> core, std::shared_ptr<const std::vector<std::string>> ids)
      : core_(std::move(core)), ids_(std::move(ids)) {}
  std::int32_t Count() const { return static_cast<std::int32_t>(ids_->size()); }
  // 1-based; throws 5941 outside 1..Count.
  Comment Item(std::int32_t index) const;
  // Adds a comment with `text` on `range` (a main-story range): its range markers go to the
  // range's edges (splitting runs where an edge falls inside one), its reference mark right
  // after the end marker. The new comment gets an id unique in the document, the author
  // "tarvo" and the current time. Throws 4605 for a range outside the main story.
  Comment Add(const word::Range& range, const std::string& text);

 private:
  std::shared_ptr<detail::Core> core_;
  std::shared_ptr<const std::vector<std::string>> ids_;
};

}  // namespace tarvo::word
