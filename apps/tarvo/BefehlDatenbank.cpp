// Placeholder until the command is built: registers nothing.
#include "Befehle.h"

namespace tarvo::cli {

void DatenbankBefehle(CLI::App&, int&) {}

}  // namespace tarvo::cli
