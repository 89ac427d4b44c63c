// Format: character and paragraph formatting over a range, with effective values resolved the
// way the word processor resolves them: direct formatting of the run (or of the paragraph mark),
// then the run's character style, the paragraph's style chain (or the default paragraph style)
// and the document defaults. Readers return wdUndefined when the parts of a range differ.
#pragma once

#include <cstdint>

#include "platform/word/Core.h"

namespace tarvo::word::detail {

// Toggle properties: "b", "i", "u".
std::int32_t ZeichenLesen(RangeState& range, const char* eigenschaft);
void ZeichenSetzen(RangeState& range, const char* eigenschaft, bool an);
float GroesseLesen(RangeState& range);
void GroesseSetzen(RangeState& range, float punkte);
std::int32_t AusrichtungLesen(RangeState& range);
void AusrichtungSetzen(RangeState& range, std::int32_t ausrichtung);
void TabstoppSetzen(RangeState& range, float position, std::int32_t ausrichtung,
                    std::int32_t fuellzeichen);
std::int32_t TabstoppZahl(RangeState& range);
// Paragraph borders (pBdr) of the paragraphs of a range; kind wdBorder*.
void AbsatzrahmenSetzen(RangeState& range, std::int32_t art, std::int32_t linie);
std::int32_t AbsatzrahmenLesen(RangeState& range, std::int32_t art);
// Writes a border element (`top`, `insideH`, …) below `behaelter` as wdLineStyle*.
void RahmenSchreiben(const Wml& wml, pugi::xml_node behaelter, const char* seite,
                     std::int32_t linie);
std::int32_t RahmenLesen(const Wml& wml, pugi::xml_node behaelter, const char* seite);

}  // namespace tarvo::word::detail
