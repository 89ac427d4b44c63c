#include "common/Version.h"

#include "Revision.h"

namespace tarvo {

const char* Version() {
  return TARVO_VERSION;
}

const char* Revision() {
  return TARVO_REVISION;
}

std::string VersionMitRevision() {
  std::string text = Version();
  if (*Revision()) text += std::string(" (") + Revision() + ")";
  return text;
}

}  // namespace tarvo
