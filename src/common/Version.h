// The version of tarvo and the source revision the build was made from. The version comes from
// the project, the revision from the checkout at build time (empty outside a git checkout).
#pragma once

#include <string>

namespace tarvo {

// "0.1.0".
const char* Version();
// "3f2a91c" (with "-dirty" for uncommitted changes), or "".
const char* Revision();
// The version with the revision in brackets when there is one: "0.1.0 (3f2a91c)".
std::string VersionMitRevision();

}  // namespace tarvo
