// Status monitoring: the twice-a-second refresh and the catalogue that turns a
// status code into icon, message, short text and button states.
#pragma once
#include <windows.h>
#include <winspool.h>
#include "app/app.h"

// One catalogue row. code 9999 marks a group's fallback row.
struct StatusEntry {
  SHORT code;
  WORD iconId;
  BYTE formatted;  // 1: text is a wsprintfW format taking the status code
  const WCHAR* text;
};
enum { FALLBACK_CODE = 9999 };

// Status codes the program itself treats specially.
enum {
  STATUS_READY = 0,
  STATUS_PRINTING = 2,
  STATUS_GETTING_INFORMATION = 100,
  STATUS_WARNING = 150,
  STATUS_OFFLINE = 200,
  STATUS_PAPER_LOW = 202,
  STATUS_HARDWARE_ERROR = 700,
};

// First codes of the catalogue's ranges; from FIRST_ERROR_CODE up the window
// comes up by itself.
enum {
  FIRST_ERROR_CODE = 300,
  FIRST_OPERATOR_ERROR = 300,
  LAST_OPERATOR_ERROR = 305,
  FIRST_FAULT_CODE = 400,
  FIRST_DATA_ERROR = 500,
  FIRST_UNASSIGNED_CODE = 600,
  FIRST_HARDWARE_ERROR = 700,
  FIRST_OTHER_CODE = 800,
};

// printerStatus bits that make the job's identity matter for cancelling.
enum { PRINTER_TROUBLE_BITS = PRINTER_STATUS_ERROR | PRINTER_STATUS_OFFLINE };

// Spooler values of the identified printer, 0 until first read, kept on failure.
extern DWORD printerJobCount;
extern DWORD printerStatus;
extern DWORD firstJobStatus;
extern int recordedModelSlot;
extern int modelSlotRecorded;

enum { REFRESH_DONE = 1, REFRESH_END = 2 };
enum { TICK_MILLISECONDS = 500, TRAY_TIP_CHARS = 64, TITLE_UNITS = 1024 };

// Most characters each text of the record keeps once converted.
enum {
  PRINTER_NAME_CHARS = PRINTER_NAME_UNITS - 1,
  MODEL_TEXT_CHARS = 64,
  USER_NAME_CHARS = 256,
  DOCUMENT_NAME_CHARS = 1023,
};

// Spooler query levels.
enum { PRINTER_STATUS_LEVEL = 6, FIRST_JOB_LEVEL = 1 };

int RefreshStatus(HWND window, MonitorState* state);
void CALLBACK StatusTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);

void PresentStatus(HWND window, MonitorState* state, SHORT code);

// The pieces of PresentStatus, without a window.
const StatusEntry* FindStatusEntry(SHORT code);
void BuildMessageText(const StatusEntry* entry, SHORT code, WCHAR* messageText);
void BuildTipText(SHORT code, const WCHAR* messageText, WCHAR* tipText);
BOOL CodeBlocksOk(SHORT code);
void ChooseButtons(SHORT code, BOOL* okEnabled, BOOL* cancelEnabled);
// The notification area's own picture for a code.
WORD TrayIconId(SHORT code);

// A text field of the record to UTF-16: stops at the first NUL or the field's
// end, invalid text gives "", at most maxChars characters plus the terminator.
void ConvertBlockText(const BYTE* field, int fieldBytes, WCHAR* out, int maxChars);
