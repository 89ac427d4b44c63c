// The hybrid invoice: the document rendered to PDF/A-3b by LibreOffice, then the CII XML
// embedded as "factur-x.xml" (an embedded-file entry with /AFRelationship /Data, listed in the
// catalog's /AF array and the EmbeddedFiles name tree) and the Factur-X fields with their PDF/A
// extension schema added to the XMP metadata. Failures come back as German messages; the target
// file is written atomically (a temporary file beside it, renamed), so it is never left half made.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tarvo::erechnung {

// The LibreOffice program (soffice on PATH, or TARVO_SOFFICE), or nothing.
std::optional<std::filesystem::path> LibreOfficeFinden();

// Renders `dokument` to a PDF/A-3b at `pdf` with a private LibreOffice profile. Returns a message
// when LibreOffice is missing or fails.
std::optional<std::string> PdfA3Rendern(const std::filesystem::path& dokument,
                                        const std::filesystem::path& pdf);

// Embeds `xml` into the PDF/A-3 `pdf` and writes the result to `ziel`. Returns a message when the
// PDF cannot be read or written.
std::optional<std::string> FacturXEinbetten(const std::filesystem::path& pdf,
                                            const std::string& xml,
                                            const std::filesystem::path& ziel);

// The XMP packet `xmp` with the Factur-X fields (EN 16931 profile) and their extension schema
// added before the end of its RDF; an XMP packet of its own when `xmp` has no RDF.
std::string XmpErgaenzen(const std::string& xmp);

}  // namespace tarvo::erechnung
