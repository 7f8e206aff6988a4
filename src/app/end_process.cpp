// The immediate end of the process on fatal paths.
#include "app/app.h"

void EndProcess(UINT exitCode) {
  ExitProcess(exitCode);
}
