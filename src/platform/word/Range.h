// Range: a stretch of one story of a document (the main text, a comment's text or a text box's
// text), given as word-processor character positions: a paragraph ends with its mark "\r", a
// table cell with its end-of-cell mark and a row with its end-of-row mark, each one position wide
// and read back as "\r\a"; a manual line break reads as character 11, a tab as character 9.
// A Range is a handle with the object model's reference semantics: copies share one start and
// end, and the document shifts them on every edit as the word processor does, so a range held by
// a caller stays valid. Every failing operation throws Laufzeitfehler (91 for an unset handle,
// 5 for a position outside the story, 4605 where the word processor refuses an edit, e.g.
// typing over an end-of-row mark). Include "platform/word/Document.h" for the whole model.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/word/WdConstants.h"

namespace tarvo::word {

namespace detail {
struct RangeState;
class Core;
}  // namespace detail

class Comments;
class Tables;
class Font;
class ParagraphFormat;

// Which story a range lies in.
constexpr std::int32_t wdMainTextStory = 1;
constexpr std::int32_t wdCommentsStory = 4;
constexpr std::int32_t wdTextFrameStory = 5;

class Range {
 public:
  // An unset range; every call on it throws 91.
  Range() = default;

  std::int32_t Start() const;
  std::int32_t End() const;
  // Moves one edge; the other follows when they would cross. Throws 5 outside the story.
  void SetStart(std::int32_t position);
  void SetEnd(std::int32_t position);
  void SetRange(std::int32_t start, std::int32_t end);
  // wdMainTextStory, wdCommentsStory or wdTextFrameStory.
  std::int32_t StoryType() const;

  // The text of the range: paragraph marks as "\r", cell and row end marks as "\r\a".
  std::string Text() const;
  // Replaces the range's text; the range then covers the new text. "\r", "\n" and "\r\n" each
  // start a new paragraph, character 11 is a manual line break, "\t" a tab. End-of-cell and
  // end-of-row marks inside the range are kept (only the cells' contents are replaced).
  void SetText(const std::string& text);

  // Collapses to the start (wdCollapseStart) or the end (wdCollapseEnd). As in the word
  // processor, a cell's range collapsed to its end lies after the end-of-cell mark (at the next
  // cell); move back one character to stay inside the cell.
  void Collapse(std::int32_t direction = wdCollapseStart);
  // Moves the start (or end) by `count` characters (wdCharacter) or words (wdWord); a negative
  // count moves towards the story's start. Stops at the story's edges; returns the number of
  // units actually moved (negative when moved backwards). The other edge follows if they cross.
  std::int32_t MoveStart(std::int32_t unit = wdCharacter, std::int32_t count = 1);
  std::int32_t MoveEnd(std::int32_t unit = wdCharacter, std::int32_t count = 1);
  // Collapses the range (to its end when moving forward, else to its start) and moves it by
  // `count` units; returns the units moved.
  std::int32_t Move(std::int32_t unit = wdCharacter, std::int32_t count = 1);

  // Inserts text after the range (before an end-of-cell mark the range ends with) and extends
  // the range over it.
  void InsertAfter(const std::string& text);
  // Inserts text at the start of the range and extends the range over it.
  void InsertBefore(const std::string& text);
  // Inserts a paragraph mark before (after) the range and extends the range over it.
  void InsertParagraphBefore();
  void InsertParagraphAfter();
  // Deletes the range's text; paragraphs joined by a deleted mark take the following paragraph's
  // properties; cell and row marks stay. The range is then collapsed. Comment and bookmark
  // markers inside stay in place.
  void Delete();

  // Makes this range the application's selection (a copy: the selection moves on its own).
  void Select() const;

  // wdTrue, wdFalse or wdUndefined when the range's characters differ.
  std::int32_t Bold() const;
  std::int32_t Italic() const;
  std::int32_t Underline() const;  // wdTrue for any underline
  // Formats every character of the range (splitting runs at the range's edges). On a collapsed
  // range the formatting goes to the paragraph mark, so text typed there takes it.
  void SetBold(bool on);
  void SetItalic(bool on);
  void SetUnderline(bool on);

  word::Font Font() const;
  word::ParagraphFormat ParagraphFormat() const;

  // The comments whose reference mark lies within the range (for a collapsed range: at it),
  // in document order; Add anchors a new comment on a range.
  word::Comments Comments() const;
  // The top-level tables the range lies in or overlaps, in document order.
  word::Tables Tables() const;
  // wdWithInTable: whether the range's start lies inside a table. Other kinds throw 5.
  bool Information(std::int32_t type) const;

  // A new, independent range with the same edges in the same story.
  Range Duplicate() const;
  // Whether both handles share one range object.
  bool IsSameObject(const Range& other) const { return state_ == other.state_; }
  bool IsSet() const { return state_ != nullptr; }

  // For the model's own use.
  explicit Range(std::shared_ptr<detail::RangeState> state) : state_(std::move(state)) {}
  const std::shared_ptr<detail::RangeState>& State() const;

 private:
  std::shared_ptr<detail::RangeState> state_;
};

// The character formatting of a range (or of the cells of a cell selection), as the object
// model's Font.
class Font {
 public:
  explicit Font(Range range) : teile_{std::move(range)} {}
  explicit Font(std::vector<Range> parts) : teile_(std::move(parts)) {}
  // The effective size in points, resolved through the run, its character style, the
  // paragraph's style chain and the document defaults; wdUndefined when the characters differ.
  float Size() const;
  void SetSize(float points);
  std::int32_t Bold() const;
  void SetBold(bool on);
  std::int32_t Italic() const;
  void SetItalic(bool on);
  std::int32_t Underline() const;
  void SetUnderline(bool on);

 private:
  std::vector<Range> teile_;
};

class TabStops {
 public:
  explicit TabStops(std::vector<Range> parts) : teile_(std::move(parts)) {}
  // Adds a tab stop at `position` points to every paragraph of the range (replacing one at the
  // same position); alignment wdAlignTab*, leader wdTabLeader*.
  void Add(float position, std::int32_t alignment = wdAlignTabLeft,
           std::int32_t leader = wdTabLeaderSpaces);
  // The number of tab stops of the range's first paragraph.
  std::int32_t Count() const;

 private:
  std::vector<Range> teile_;
};

// The paragraph formatting of the paragraphs a range (or a cell selection) touches.
class ParagraphFormat {
 public:
  explicit ParagraphFormat(Range range) : teile_{std::move(range)} {}
  explicit ParagraphFormat(std::vector<Range> parts) : teile_(std::move(parts)) {}
  // wdAlignParagraph*, or wdUndefined when the paragraphs differ.
  std::int32_t Alignment() const;
  // Sets the alignment of every paragraph the range touches; throws 5 for an unknown value.
  void SetAlignment(std::int32_t alignment);
  word::TabStops TabStops() const { return word::TabStops(teile_); }

 private:
  std::vector<Range> teile_;
};

}  // namespace tarvo::word
