// The print cancel request: a flag for the language monitor, a short wait for the job to go, then back to the tray.
#include "app/app.h"
#include "connection/connection.h"
#include "printers/printers.h"
#include "requests/requests.h"
#include "window/window.h"

// The language monitor empties documentName once the job is gone. A poll that
// finds the mutex taken examines what the private copy already held.
static void WaitForJobToGo(void) {
  if (!privateCopy) return;
  for (int poll = 0; poll < CANCEL_POLLS; poll++) {
    CopyBlockOnce(privateCopy, sharedView, CB_SIZE, mappingMutexName);
    if (privateCopy[CB_DOCUMENT_NAME] == '\0') {
      // Let a few ticks show the new state before the window goes.
      PumpMessages(CANCEL_PUMP_STEPS);
      return;
    }
    PauseMilliseconds(CANCEL_POLL_MILLISECONDS);
  }
}

void RequestPrintCancel(HWND window) {
  ChangeBlockField(CB_CANCEL_REQUEST, CANCEL_REQUESTED);
  WaitForJobToGo();
  MinimiseToTray(window);
}
