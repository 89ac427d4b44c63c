// tarvo demo: builds a complete example in a folder — an invoice template made with the document
// model (letterhead, address, the "lumoStart" marker, a letter text with the amount fields), a
// job database with example settings and an invoice, one job file per category form that
// exists — runs the jobs in turn into Rechnung.docx, converts it to Rechnung.pdf when LibreOffice
// is installed, and prints the summaries. It keeps a list of what it made ("tarvo-demo.txt") and
// refuses (Laufzeitfehler, nothing touched) to overwrite any file it did not make.
#pragma once

#include <filesystem>
#include <ostream>

namespace tarvo::auftrag {

// Runs the demo in `ordner`; returns the exit status (0, or 3 when errors were logged).
int DemoAusfuehren(const std::filesystem::path& ordner, std::ostream& aus);

// Writes the invoice template to `datei` (used by the demo and the tests).
void VorlageSchreiben(const std::filesystem::path& datei);

}  // namespace tarvo::auftrag
