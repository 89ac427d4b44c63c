#include "fees/modStatus.h"

namespace tarvo {

JobStatus& Status() {
  static JobStatus status;
  return status;
}

void JobStatus::Zuruecksetzen() {
  static_cast<JobDaten&>(*this) = JobDaten();
  Fehler = GO_Error();
}

}  // namespace tarvo
