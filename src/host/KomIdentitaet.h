// The component's identity as the host binds to it: type library, class, interfaces and record
// type with their GUIDs, the ProgID, and the class factory that creates GO by ProgID or class
// GUID. The factory refuses every other name with error 429 and creates nothing.
#pragma once

#include <array>
#include <memory>
#include <string_view>

namespace tarvo {

class GO;

namespace kom {

inline constexpr std::string_view Typbibliothek = "tarvo_03";
inline constexpr std::string_view Klasse = "GO";
inline constexpr std::string_view ProgId = "tarvo_03.GO";

inline constexpr std::string_view TypbibliothekGuid = "{B29C12B6-C484-4590-ACE4-C1241D7BFFC3}";
inline constexpr std::string_view KlasseGuid = "{9B78EE68-0A12-4354-92E0-423BF52D9C5A}";
// The default dual interface _GO.
inline constexpr std::string_view SchnittstelleGuid = "{417DEE13-11C0-4CAB-8AEF-A5297E3818B6}";
// The event (source) interface __GO.
inline constexpr std::string_view EreignisGuid = "{4D35722B-C71D-43AF-B266-C52E40FF0A7F}";
// The public record type GO_Error.
inline constexpr std::string_view FehlerRecordGuid = "{03797A5C-638D-4CED-ABB9-955830CE60BD}";

inline constexpr std::string_view Schnittstelle = "_GO";
inline constexpr std::string_view EreignisSchnittstelle = "__GO";
inline constexpr std::string_view FehlerRecord = "GO_Error";

// The members of _GO in the order of their slots (a property's get and let share one entry).
inline constexpr std::array<std::string_view, 16> Mitglieder = {
    "Show",        "Aktualisieren", "Flurstücksnummer", "Fläche",       "Bodenwert",         "Lage",
    "Baukosten",   "Achslänge",     "Grenzlänge",       "Flurstücke",   "AnzahlGrenzpunkte", "Doc",
    "ID_Benutzer", "NeueAbfrage",   "DatenbankPfad",    "LumoWorkspace"};

// Whether `kennung` names the class: the ProgID or the class GUID in braces, both compared
// without regard to case as the registry does.
bool IstKlasse(std::string_view kennung);

// A new GO for the ProgID or the class GUID; throws Laufzeitfehler 429 for any other name.
std::shared_ptr<GO> ObjektErzeugen(std::string_view kennung);

}  // namespace kom
}  // namespace tarvo
