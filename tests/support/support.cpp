#include "support.h"

void ResetSeams(void) {
  shownAlerts.clear();
  pausedMilliseconds = 0;
  pauseCount = 0;
  realPauses = FALSE;
}
