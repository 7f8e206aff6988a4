// Bounded message pumping for the waits inside handlers.
#include "app/app.h"

enum { PUMP_STEP_MILLISECONDS = 100 };

int PumpMessages(int count) {
  for (int step = 0; step < count; step++) {
    PauseMilliseconds(PUMP_STEP_MILLISECONDS);
    MSG message;
    if (!PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) continue;
    if (message.message == WM_QUIT) {
      // Taken here, the quit would be lost to the main loop: hand it back.
      PostQuitMessage((int)message.wParam);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
