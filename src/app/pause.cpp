// Every wait of the program, in one place so tests need not wait for real.
#include "app/app.h"

void PauseMilliseconds(DWORD milliseconds) {
  Sleep(milliseconds);
}
