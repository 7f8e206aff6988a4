// The MonitorState record and its text buffers, from the local heap.
#include "app/app.h"

static WCHAR* AllocText(int units) {
  return (WCHAR*)LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, units * sizeof(WCHAR));
}

int AllocMonitorState(void) {
  monitorState = (MonitorState*)LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, sizeof(MonitorState));
  if (!monitorState) return STATE_NO_RECORD;
  MonitorState* state = monitorState;
  if (!(state->messageText = AllocText(MESSAGE_TEXT_UNITS))) return STATE_NO_BUFFER;
  if (!(state->printerName = AllocText(PRINTER_NAME_UNITS))) return STATE_NO_BUFFER;
  if (!(state->tipText = AllocText(TIP_TEXT_UNITS))) return STATE_NO_BUFFER;
  if (!(state->modelText = AllocText(MODEL_TEXT_UNITS))) return STATE_NO_BUFFER;
  return STATE_READY;
}

void FreeMonitorState(void) {
  MonitorState* state = monitorState;
  if (!state) return;
  if (state->printerName) LocalFree(state->printerName);
  if (state->tipText) LocalFree(state->tipText);
  if (state->modelText) LocalFree(state->modelText);
  if (state->messageText) LocalFree(state->messageText);
  LocalFree(state);
  monitorState = NULL;
}
