// The program's one way of showing a message box.
#include "app/app.h"

int ShowAlert(const WCHAR* text) {
  return MessageBoxW(NULL, text, ALERT_CAPTION, ALERT_STYLE);
}
