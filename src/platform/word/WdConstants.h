// WdConstants: the numeric constants of the word-processor object model that callers pass to the
// document layer (collapse directions, units, borders, alignments, information kinds). The values
// are those of the object model the layer stands in for, so form code can use them as written.
#pragma once

#include <cstdint>

namespace tarvo::word {

// Range::Collapse
constexpr std::int32_t wdCollapseEnd = 0;
constexpr std::int32_t wdCollapseStart = 1;

// Range::MoveStart / MoveEnd units
constexpr std::int32_t wdCharacter = 1;
constexpr std::int32_t wdWord = 2;

// Range::Information
constexpr std::int32_t wdWithInTable = 12;

// Border::SetLineStyle
constexpr std::int32_t wdLineStyleNone = 0;
constexpr std::int32_t wdLineStyleSingle = 1;

// Selection::Borders
constexpr std::int32_t wdBorderTop = -1;
constexpr std::int32_t wdBorderLeft = -2;
constexpr std::int32_t wdBorderBottom = -3;
constexpr std::int32_t wdBorderRight = -4;
constexpr std::int32_t wdBorderHorizontal = -5;
constexpr std::int32_t wdBorderVertical = -6;

// ParagraphFormat::Alignment
constexpr std::int32_t wdAlignParagraphLeft = 0;
constexpr std::int32_t wdAlignParagraphCenter = 1;
constexpr std::int32_t wdAlignParagraphRight = 2;
constexpr std::int32_t wdAlignParagraphJustify = 3;

// TabStops::Add
constexpr std::int32_t wdAlignTabLeft = 0;
constexpr std::int32_t wdAlignTabCenter = 1;
constexpr std::int32_t wdAlignTabRight = 2;
constexpr std::int32_t wdAlignTabDecimal = 3;
constexpr std::int32_t wdTabLeaderSpaces = 0;
constexpr std::int32_t wdTabLeaderDots = 1;
constexpr std::int32_t wdTabLeaderDashes = 2;
constexpr std::int32_t wdTabLeaderLines = 3;

// Cell::SetWidth / Column::SetWidth
constexpr std::int32_t wdAdjustNone = 0;

// Shape::SetRelativeVerticalPosition
constexpr std::int32_t wdRelativeVerticalPositionMargin = 0;
constexpr std::int32_t wdRelativeVerticalPositionPage = 1;
constexpr std::int32_t wdRelativeVerticalPositionParagraph = 2;

// Shapes::AddTextbox
constexpr std::int32_t msoTextOrientationHorizontal = 1;

// Boolean results of the object model (True is -1) and the "mixed" answer of a property read
// over a range whose parts differ.
constexpr std::int32_t wdTrue = -1;
constexpr std::int32_t wdFalse = 0;
constexpr std::int32_t wdUndefined = 9999999;

}  // namespace tarvo::word
