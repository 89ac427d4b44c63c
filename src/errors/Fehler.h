// The record of one reported error (GO_Error) and the process-wide last error `Fehler`, which
// only the reporter (FehlerProtokollieren) fills. The job state refers to the same record.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

struct GO_Error {
  std::string Funktionsname;  // module and procedure run together
  std::string strFehler;      // description
  std::string strModul;
  std::string strFunktion;
  std::string strNr;         // error number as text
  std::int32_t Hinweis = 0;  // line number, 0 without line numbers
};

// The last error reported; starts empty.
GO_Error& LetzterFehler();

}  // namespace tarvo
