// Test stand-ins for the seams of src/app: message boxes are recorded, not
// shown; pauses are counted and skipped unless a test asks for real ones; the
// process end becomes an exception.
#include "app/app.h"
#include "support.h"

std::vector<Alert> shownAlerts;
unsigned long long pausedMilliseconds;
unsigned pauseCount;
BOOL realPauses;

int ShowAlert(const WCHAR* text) {
  shownAlerts.push_back(Alert{text ? text : L""});
  return IDOK;
}

void PauseMilliseconds(DWORD milliseconds) {
  pausedMilliseconds += milliseconds;
  pauseCount++;
  Sleep(realPauses ? milliseconds : 0);
}

void EndProcess(UINT exitCode) {
  throw ProcessEnded{exitCode};
}
