// Application: the word processor a document belongs to, owning its one Selection and the unit
// conversions. Each Document has one Application; the job state shares it as WordApp.
#pragma once

#include "common/Variant.h"
#include "platform/word/Selection.h"

namespace tarvo::word {

class Application : public Objekt {
 public:
  Application() = default;
  word::Selection& Selection() { return selection_; }
  const word::Selection& Selection() const { return selection_; }
  // cm × 72 / 2.54, as a Single.
  float CentimetersToPoints(float centimeters) const {
    return static_cast<float>(centimeters * 72.0 / 2.54);
  }

 private:
  word::Selection selection_;
};

}  // namespace tarvo::word
