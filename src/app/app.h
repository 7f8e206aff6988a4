// Application lifetime: the process-wide record of the status window, the
// single-instance claim, and the few platform seams that tests replace.
#pragma once
#include <windows.h>

// Sizes of the MonitorState text buffers, in UTF-16 units.
enum {
  MESSAGE_TEXT_UNITS = 2048,
  PRINTER_NAME_UNITS = 512,
  TIP_TEXT_UNITS = 512,
  MODEL_TEXT_UNITS = 512,
};

// The state of the status window; one per process, zero-filled at start.
// Its address is also the identifier of the 500 ms timer.
struct MonitorState {
  UINT_PTR timerId;    // the armed tick, 0 when none
  WCHAR* messageText;  // MESSAGE_TEXT_UNITS
  WCHAR* printerName;  // PRINTER_NAME_UNITS
  WCHAR* tipText;      // TIP_TEXT_UNITS
  WCHAR* modelText;    // MODEL_TEXT_UNITS
  SHORT statusCode;
  SHORT previousCode;  // the code before the latest refresh
  WORD trayMode;       // 1 while the window is hidden in the notification area
};

extern MonitorState* monitorState;
extern HINSTANCE instanceHandle;
extern HANDLE instanceMutex;
extern LONG startDisplayMode;

// Exit codes of the process.
enum { EXIT_QUIET = 0, EXIT_THROUGH_WINDOW = 1 };

// Caption and style of every message box of the program.
#define ALERT_CAPTION L"KR-470 Status Monitor"
#define ALERT_STYLE (MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND)
// Shown at start and by the status inquiry when no supported driver is installed.
#define TEXT_NO_SUPPORTED_PRINTER L"プリンタ（ドライバ）が見つかりません。\n\nプログラムを終了します。"

// The record and its buffers, zero-filled, in the order of their fields.
enum { STATE_READY = 0, STATE_NO_RECORD = 1, STATE_NO_BUFFER = 2 };
int AllocMonitorState(void);
// Frees the buffers that exist, then the record (printerName, tipText,
// modelText, messageText, record).
void FreeMonitorState(void);

// count times: sleep 100 ms, then dispatch at most one waiting message of the
// thread. Returns 0. A WM_QUIT taken here is posted again for the main loop.
int PumpMessages(int count);

// Takes the single-instance mutex in at most 50 attempts 30 ms apart.
// Returns the owned handle, or NULL when another instance holds it.
HANDLE ClaimSingleInstance(const WCHAR* name);
// Releases and closes instanceMutex, if held. Every exit after the claim runs it.
void ReleaseInstanceMutex(void);

// --- Seams: each lives in a file of its own so a test can link its own. ---

// Shows a message box with ALERT_CAPTION and ALERT_STYLE and no owner.
int ShowAlert(const WCHAR* text);
// Sleep; every wait of the program goes through here.
void PauseMilliseconds(DWORD milliseconds);
// Ends the process at once (fatal paths after the instance mutex was released).
[[noreturn]] void EndProcess(UINT exitCode);
