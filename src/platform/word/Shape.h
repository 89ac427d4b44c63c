// Shape and Shapes: the floating drawing objects anchored in the main story (DrawingML anchors
// and VML shapes), with their name, position and, for text boxes, their text story. AddTextbox
// writes a floating text box that Word and LibreOffice show. A handle to a deleted shape throws
// Laufzeitfehler 5825; a missing index or name throws 5941; a property the shape does not carry
// (the text of a picture) throws 4605.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/word/Range.h"
#include "platform/word/WdConstants.h"

namespace tarvo::word {

namespace detail {
struct ShapeState;
}  // namespace detail

class FillFormat {
 public:
  explicit FillFormat(std::shared_ptr<detail::ShapeState> shape) : shape_(std::move(shape)) {}
  bool Visible() const;
  void SetVisible(bool visible);
  // 0 opaque … 1 fully transparent.
  float Transparency() const;
  void SetTransparency(float transparency);

 private:
  std::shared_ptr<detail::ShapeState> shape_;
};

class LineFormat {
 public:
  explicit LineFormat(std::shared_ptr<detail::ShapeState> shape) : shape_(std::move(shape)) {}
  bool Visible() const;
  void SetVisible(bool visible);

 private:
  std::shared_ptr<detail::ShapeState> shape_;
};

class TextFrame {
 public:
  explicit TextFrame(std::shared_ptr<detail::ShapeState> shape) : shape_(std::move(shape)) {}
  // The text box's own story; throws 4605 for a shape without text.
  word::Range TextRange() const;
  bool HasText() const;

 private:
  std::shared_ptr<detail::ShapeState> shape_;
};

class Shape {
 public:
  Shape() = default;  // unset: every call throws 91

  std::string Name() const;
  void SetName(const std::string& name);
  word::FillFormat Fill() const { return word::FillFormat(Checked()); }
  word::LineFormat Line() const { return word::LineFormat(Checked()); }
  word::TextFrame TextFrame() const { return word::TextFrame(Checked()); }
  // Position and size in points; Top is measured from what RelativeVerticalPosition names.
  float Left() const;
  float Top() const;
  void SetTop(float points);
  float Width() const;
  float Height() const;
  std::int32_t RelativeVerticalPosition() const;  // wdRelativeVerticalPosition*
  void SetRelativeVerticalPosition(std::int32_t relativeTo);
  // Selects the shape: the selection goes to its anchor paragraph.
  void Select() const;
  // Removes the shape; the handle then counts as deleted.
  void Delete();
  bool IsDeleted() const;

  explicit Shape(std::shared_ptr<detail::ShapeState> state) : state_(std::move(state)) {}

 private:
  const std::shared_ptr<detail::ShapeState>& Checked() const;
  std::shared_ptr<detail::ShapeState> state_;
};

class Shapes {
 public:
  Shapes(std::shared_ptr<detail::Core> core, std::vector<Shape> items)
      : core_(std::move(core)), items_(std::move(items)) {}
  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  // 1-based; throws 5941 outside 1..Count.
  Shape Item(std::int32_t index) const;
  // The first shape of that name; throws 5941 when there is none.
  Shape Item(const std::string& name) const;
  // A floating text box (orientation msoTextOrientationHorizontal), position and size in
  // points, relative to the page column and paragraph until changed, no text. It is anchored in
  // the paragraph of the selection when that lies in the main story, else in the last paragraph.
  // Its name is "Textfeld N" with N unique among the document's drawings.
  Shape AddTextbox(std::int32_t orientation, float left, float top, float width, float height);

 private:
  std::shared_ptr<detail::Core> core_;
  std::vector<Shape> items_;
};

}  // namespace tarvo::word
