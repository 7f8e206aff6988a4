// The single-instance claim and the process-wide values of the application.
#include "app/app.h"

MonitorState* monitorState;
HINSTANCE instanceHandle;
HANDLE instanceMutex;
LONG startDisplayMode;

enum { CLAIM_ATTEMPTS = 50, CLAIM_PAUSE_MILLISECONDS = 30 };

HANDLE ClaimSingleInstance(const WCHAR* name) {
  for (int attempt = 0; attempt < CLAIM_ATTEMPTS; attempt++) {
    HANDLE mutex = CreateMutexW(NULL, FALSE, name);
    if (mutex) {
      DWORD wait = WaitForSingleObject(mutex, 0);
      // An abandoned mutex belonged to a monitor that died: ours now.
      if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) return mutex;
      ReleaseMutex(mutex);
      CloseHandle(mutex);
    }
    PauseMilliseconds(CLAIM_PAUSE_MILLISECONDS);
  }
  return NULL;
}

void ReleaseInstanceMutex(void) {
  if (!instanceMutex) return;
  ReleaseMutex(instanceMutex);
  CloseHandle(instanceMutex);
  instanceMutex = NULL;
}
