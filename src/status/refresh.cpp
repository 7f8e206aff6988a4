// One status refresh: the spooler's view of the printer, the shared record, and what the window shows of both.
#include <wchar.h>
#include "connection/connection.h"
#include "printers/printers.h"
#include "status/status.h"
#include "window/window.h"

DWORD printerJobCount, printerStatus, firstJobStatus;
int recordedModelSlot, modelSlotRecorded;

#define TITLE_SEPARATOR L" "
#define TITLE_SUFFIX L" Status Monitor"

// Stands in for a private copy that could not be had, so the window still
// gets a message, an icon and buttons.
static const BYTE emptyRecord[CB_SIZE] = {};

static void ReadPrinterStatus(HANDLE printer) {
  DWORD needed = 0;
  if (GetPrinterW(printer, PRINTER_STATUS_LEVEL, NULL, 0, &needed)) return;
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return;
  DWORD error;
  BYTE* buffer = (BYTE*)AllocZeroed(needed, &error);
  if (!buffer) return;
  DWORD filled = 0;
  // A size too small for the record would have us read past the block.
  if (needed >= sizeof(PRINTER_INFO_6) && GetPrinterW(printer, PRINTER_STATUS_LEVEL, buffer, needed, &filled))
    printerStatus = ((PRINTER_INFO_6*)buffer)->dwStatus;
  FreeAllocated(buffer);
}

static void ReadFirstJobStatus(HANDLE printer) {
  DWORD needed = 0, returned = 0;
  // An empty queue answers the sizing call with success: nothing to read.
  if (EnumJobsW(printer, 0, 1, FIRST_JOB_LEVEL, NULL, 0, &needed, &returned)) return;
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return;
  DWORD error;
  BYTE* buffer = (BYTE*)AllocZeroed(needed, &error);
  if (!buffer) return;
  DWORD filled = 0;
  if (needed >= sizeof(JOB_INFO_1W) && EnumJobsW(printer, 0, 1, FIRST_JOB_LEVEL, buffer, needed, &filled, &returned) &&
      returned > 0)
    firstJobStatus = ((JOB_INFO_1W*)buffer)->Status;
  FreeAllocated(buffer);
}

static void QueryPrinter(const PRINTER_INFO_2W* printer) {
  printerJobCount = printer->cJobs;
  HANDLE handle = NULL;
  if (!OpenPrinterW(printer->pPrinterName, &handle, NULL)) return;
  ReadPrinterStatus(handle);
  ReadFirstJobStatus(handle);
  ClosePrinter(handle);
}

// A change is acted on once; the refresh after it records the slot anew.
static void FollowModelSlot(void) {
  if (!modelSlotRecorded) {
    recordedModelSlot = ModelSlot;
    modelSlotRecorded = 1;
  } else if (ModelSlot != recordedModelSlot) {
    modelSlotRecorded = 0;
    RecreateConnectionBlock(ModelSlot);
  }
}

static void AppendText(WCHAR* buffer, int units, int* length, const WCHAR* text) {
  while (*text && *length < units - 1) buffer[(*length)++] = *text++;
  buffer[*length] = L'\0';
}

static void SetTitle(HWND window, const MonitorState* state) {
  WCHAR title[TITLE_UNITS];
  int length = 0;
  title[0] = L'\0';
  AppendText(title, TITLE_UNITS, &length, state->printerName);
  AppendText(title, TITLE_UNITS, &length, TITLE_SEPARATOR);
  AppendText(title, TITLE_UNITS, &length, state->modelText);
  AppendText(title, TITLE_UNITS, &length, TITLE_SUFFIX);
  SetWindowTextW(window, title);
}

static void ShowJob(HWND window, const BYTE* record) {
  WCHAR user[USER_NAME_CHARS + 1];
  ConvertBlockText(record + CB_USER_NAME, CB_USER_NAME_SIZE, user, USER_NAME_CHARS);
  SetDlgItemTextW(window, IDC_USER_NAME, user);
  WCHAR document[DOCUMENT_NAME_CHARS + 1];
  ConvertBlockText(record + CB_DOCUMENT_NAME, CB_DOCUMENT_NAME_SIZE, document, DOCUMENT_NAME_CHARS);
  SetDlgItemTextW(window, IDC_DOCUMENT_NAME, document);
}

int RefreshStatus(HWND window, MonitorState* state) {
  PRINTER_INFO_2W* list = NULL;
  DWORD count = 0;
  if (EnumeratePrinters(&list, &count) == ENUM_FATAL) return REFRESH_END;
  PRINTER_INFO_2W* matched = NULL;
  IdentifyModel(list, count, &matched);
  if (matched) QueryPrinter(matched);
  FreeAllocated(list);

  FollowModelSlot();
  // One try only: the language monitor must never make the window wait.
  CopyBlockOnce(privateCopy, sharedView, CB_SIZE, mappingMutexName);
  const BYTE* record = privateCopy ? privateCopy : emptyRecord;
  if (BlockLong(record, CB_DISPLAY_MODE) == CB_DISPLAY_MODE_END) return REFRESH_END;

  ConvertBlockText(record + CB_MODEL_TEXT, CB_MODEL_TEXT_SIZE, state->modelText, MODEL_TEXT_CHARS);
  ConvertBlockText(record + CB_PRINTER_NAME, CB_PRINTER_NAME_SIZE, state->printerName, PRINTER_NAME_CHARS);

  state->previousCode = state->statusCode;
  // The record's code is 32-bit; the monitor has always kept its low 16 bits.
  state->statusCode = (SHORT)LOWORD(BlockLong(record, CB_STATUS_CODE));
  PresentStatus(window, state, state->statusCode);

  SetTitle(window, state);
  ShowJob(window, record);
  return REFRESH_DONE;
}
