// Dateiart: what the programs accept as a file to read or to replace. Only regular files (or
// symbolic links to one) are: a device reads without end (/dev/zero), a FIFO blocks its reader
// until some writer comes, and replacing either by a regular file would destroy it. Reads are
// bounded, so no input can take the memory of the machine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tarvo::dateiart {

// Throws Laufzeitfehler 75 naming `pfad` ("»x« ist ein Gerät …") when something exists at
// `pfad` that is not a regular file; `was` says what the file was meant to be ("die
// Auftragsdatei", "das Dokument"). A missing file passes: the caller says what is missing.
void NurGewoehnlich(const std::filesystem::path& pfad, const std::string& was);

// The bytes of the regular file `pfad`, at most `hoechstens`: Laufzeitfehler 75 for a larger
// file or one that is not regular (checked before it is opened), 53 for a missing one, 75 for
// one that cannot be read.
std::string Lesen(const std::filesystem::path& pfad, std::uint64_t hoechstens,
                  const std::string& was);

}  // namespace tarvo::dateiart
