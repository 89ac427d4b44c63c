// The shared dialog routines of module "G_Funktionen": window placement in the per-user settings
// store, the help file, the message box and select-all for masked edits. They live beside the
// control models, not in common/, so that dependencies run one way (common knows no forms); all
// of them go through the current UI seam (Bildschirm::Aktuell). Each traps its errors and reports
// them under "G_Funktionen" and its own name, then carries on; TextMarkieren ignores its errors.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/controls/Form.h"
#include "platform/controls/MaskEdBox.h"

namespace tarvo {

// Settings application and keys of the window placement.
inline constexpr const char* FensterAnwendung = "LumoVerwaltung";

// Restores the form's WindowState from "State" of its section; when the state is normal, also
// Top and Left. Missing values count as 0; a stored value that is not a number makes that one
// assignment fail (logged) and the form keeps its value.
void GetWindowReg(controls::Form& form);
// Stores WindowState as "State"; a normal window also its Top and Left, a minimised or
// maximised one keeps the previously stored position.
void SetWindowReg(controls::Form& form);

// The help file "Hilfe/LumoHelp.chm" (its pages are the HTML files of that folder) below the
// first of these folders that holds a folder "Hilfe": the folder of the loaded library, then
// the package's data folder (share/tarvo beside the installed library's lib folder, then the
// one of the configured install prefix). With none, below the library's folder, where a
// missing topic is reported as the seam reports it.
std::filesystem::path HilfeDatei();
// Shows topic `Thema` of the help file (its start page for ""), through the seam.
void HTMLHelp_ShowTopic(const std::string& Thema);
// The help page of form `Formular` (its Name), which F1 in that form shows: a page of its own
// for the category forms and the table choice dialog, "" (the start page) for any other.
std::string HilfeThema(const std::string& Formular);

// Asks through the seam's message box; the code of the button pressed, 0 when no box could be
// shown (callers treat that as No).
std::int32_t MsgBox(const std::string& Meldung, std::int32_t Schaltflächen = 0,
                    const std::string& Titel = "");

// Selects the whole entry (SelStart 0, SelLength 255), so typing replaces it.
void TextMarkieren(controls::MaskEdBox& feld);

}  // namespace tarvo
