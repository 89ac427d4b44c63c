// The component tarvo_03: a shared library that carries every subsystem. This unit only names
// the component's version; its classes live in the subsystem archives linked into it.
#include <string>

#include "common/Version.h"

// The version and the source revision, as `tarvo --version` and the forms' lblVersion show it.
extern "C" const char* tarvo_03_version() {
  static const std::string text = tarvo::VersionMitRevision();
  return text.c_str();
}
