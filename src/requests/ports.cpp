// The kinds of printer port through which the language monitor can reach the printer.
#include "requests/requests.h"

static const WCHAR* const numberedPorts[] = {PORT_PATTERN_LPT, PORT_PATTERN_USB, PORT_PATTERN_COM};

// The driver's own ports carry a fixed prefix, whatever follows it.
static BOOL HasDriverPrefix(const WCHAR* portName) {
  for (int i = 0; i < PORT_PREFIX_CHARS; i++)
    if (portName[i] != PORT_PREFIX[i]) return FALSE;
  return TRUE;
}

BOOL PortAccepted(const WCHAR* portName) {
  if (!portName) return FALSE;
  if (HasDriverPrefix(portName)) return TRUE;
  WCHAR candidate[PORT_NAME_UNITS];
  for (int number = 0; number < PORT_NUMBERS; number++) {
    for (const WCHAR* pattern : numberedPorts) {
      wsprintfW(candidate, pattern, number);
      if (lstrcmpW(portName, candidate) == 0) return TRUE;
    }
  }
  return FALSE;
}
