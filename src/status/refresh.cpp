// Placeholder until the refresh cycle lands.
#include "status/status.h"
DWORD printerJobCount, printerStatus, firstJobStatus;
int recordedModelSlot, modelSlotRecorded;
int RefreshStatus(HWND, MonitorState*) { return REFRESH_DONE; }
void CALLBACK StatusTimerProc(HWND, UINT, UINT_PTR, DWORD) {}
void PresentStatus(HWND, MonitorState*, SHORT) {}
