// Eingabehinweis: a value a form holds that it can compute with but that a person most likely
// did not mean (a share above 1000, a negative area, a length beyond what the form's integers
// hold). A form lists its hints on request (Form::Eingabehinweise); views mark the field or cell
// and ask before the form is confirmed. A hint never changes what the form computes.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo::controls {

struct Eingabehinweis {
  std::string steuerelement;  // the control's name
  std::int32_t zeile = 0;     // the grid cell, for a hint on a grid; 0 for a field
  std::int32_t spalte = 0;
  std::string text;  // German, names the place and the value: "Zeile 2, Fläche [m²]: …"
};

}  // namespace tarvo::controls
