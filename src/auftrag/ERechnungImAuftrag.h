// The e-invoice of a job file's "erechnung": a step of the job's unit. Before the commit it
// writes the e-invoice of the new document and the job's (not yet committed) invoice record into
// a hidden file beside its target, or throws Laufzeitfehler 5 with the German reasons, so that
// the job changes nothing; after the document's rename it renames the e-invoice into place.
#pragma once

#include <filesystem>
#include <functional>

#include "auftrag/AuftragDatei.h"
#include "platform/dao/Database.h"

namespace tarvo::auftrag {

std::function<std::function<void()>(const std::filesystem::path&, dao::Database&)>
ERechnungImAuftrag(const Auftrag& auftrag);

}  // namespace tarvo::auftrag
