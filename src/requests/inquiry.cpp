// The status inquiry: checks that the default printer can be asked, then asks the
// language monitor for a fresh status with a tiny RAW job it recognises by name.
#include "app/app.h"
#include "connection/connection.h"
#include "printers/printers.h"
#include "requests/requests.h"
#include "status/status.h"

#define TEXT_OPEN_FAILED L"プリンタ情報の獲得に失敗しました。\nError : OpenPrinter\n\nプログラムを終了します。"
#define TEXT_BIDI_OFF L"プリンタの双方向機能が無効になっています。\n\n[プリンタ]フォルダからプロパティを開いて、双方向機能を有効にしてください。"
#define TEXT_PAUSED L"プリンタは一時停止状態です。\n\n[プリンタ]フォルダを開いて、一時停止チェックを解除してください。"
#define TEXT_WORK_OFFLINE L"プリンタはオフラインになっています。\n\n[プリンタ]フォルダを開いて、オフラインチェックを解除してください。"
#define TEXT_ENUM_JOBS_FAILED L"プリンタ（ドライバ）情報取得に失敗しました。\nError : EnumJobs\n\nプログラムを終了します。"
#define TEXT_START_DOC_FAILED L"プリンタ（ドライバ）情報取得に失敗しました。\nError : StartDocPrinter\n\nプログラムを終了します。"
#define TEXT_NOT_DEFAULT L"%sプリンタを接続し\n通常使うプリンタに設定してください。"
#define TEXT_WRONG_PORT L"プリンタポートの設定が異なります。\n[プリンタ]フォルダからプロパティを開いて、ポート設定を変更してください。"

#define INQUIRY_DATATYPE L"RAW"
enum { DOC_INFO_LEVEL = 1 };

int inquiryRunning;

enum WalkOutcome { WALK_NO_SUPPORTED_PRINTER, WALK_NOT_DEFAULT, WALK_WRONG_PORT, WALK_FOUND };
// What the inquiry does after the printer is closed.
enum Settle { SETTLE_NONE, SETTLE_QUEUE_BUSY, SETTLE_JOB_SENT };

static BOOL DriverSupported(const WCHAR* driverName) {
  if (!driverName) return FALSE;
  if (matchedDriverName && lstrcmpW(driverName, matchedDriverName) == 0) return TRUE;
  return lstrcmpW(driverName, DRIVER_DUMMY) == 0;
}

// The first supported printer that is the default one decides; defaultName NULL: there is no default.
static int WalkPrinters(PRINTER_INFO_2W* list, DWORD count, const WCHAR* defaultName,
                        PRINTER_INFO_2W** found) {
  int outcome = WALK_NO_SUPPORTED_PRINTER;
  for (DWORD i = 0; i < count; i++) {
    PRINTER_INFO_2W* printer = &list[i];
    if (!DriverSupported(printer->pDriverName)) continue;
    if (!defaultName || !printer->pPrinterName || lstrcmpW(printer->pPrinterName, defaultName) != 0) {
      outcome = WALK_NOT_DEFAULT;
      continue;
    }
    if (!PortAccepted(printer->pPortName)) return WALK_WRONG_PORT;
    *found = printer;
    return WALK_FOUND;
  }
  return outcome;
}

static int ExplainWalk(int outcome) {
  if (outcome == WALK_NOT_DEFAULT) {
    WCHAR text[INQUIRY_TEXT_UNITS];
    wsprintfW(text, TEXT_NOT_DEFAULT, INQUIRY_MODEL_NAME);
    ShowAlert(text);
    return INQUIRY_EXPLAINED;
  }
  if (outcome == WALK_WRONG_PORT) {
    ShowAlert(TEXT_WRONG_PORT);
    return INQUIRY_EXPLAINED;
  }
  ShowAlert(TEXT_NO_SUPPORTED_PRINTER);
  return INQUIRY_FATAL;
}

// Spooler settings that keep the language monitor from talking to the printer, first one first.
static const WCHAR* SettingsProblem(const PRINTER_INFO_2W* printer) {
  if (!(printer->Attributes & PRINTER_ATTRIBUTE_ENABLE_BIDI)) return TEXT_BIDI_OFF;
  if (printer->Status & PRINTER_STATUS_PAUSED) return TEXT_PAUSED;
  if (printer->Attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE) return TEXT_WORK_OFFLINE;
  return NULL;
}

static int SendInquiryJob(HANDLE printer) {
  ChangeBlockField(CB_STATUS_CODE, INQUIRY_STATUS_PENDING);
  DOC_INFO_1W document = {const_cast<LPWSTR>(dummyDocumentName), NULL, const_cast<LPWSTR>(INQUIRY_DATATYPE)};
  if (!StartDocPrinterW(printer, DOC_INFO_LEVEL, (LPBYTE)&document)) {
    ShowAlert(TEXT_START_DOC_FAILED);
    return INQUIRY_FATAL;
  }
  // Equal codes let the operator ask again at once; the answer arrives through the record.
  if (monitorState) monitorState->statusCode = monitorState->previousCode = INQUIRY_STATUS_PENDING;
  BYTE payload[CB_INQUIRY_JOB_BYTES] = {};
  DWORD written;
  WritePrinter(printer, payload, sizeof payload, &written);
  EndDocPrinter(printer);
  return INQUIRY_SILENT;
}

static int InquireOpenPrinter(HANDLE printer, const PRINTER_INFO_2W* entry, int* settle) {
  const WCHAR* problem = SettingsProblem(entry);
  if (problem) {
    ChangeBlockField(CB_STATUS_CODE, INQUIRY_STATUS_CLEARED);
    ShowAlert(problem);
    return INQUIRY_EXPLAINED;
  }
  if (printerStatus & PRINTER_UNREACHABLE) return INQUIRY_SILENT;
  // Until a refresh has identified the model there is no name the language
  // monitor would recognise; the operator can ask again after the next tick.
  if (!dummyDocumentName) return INQUIRY_SILENT;
  int queue = FindQueuedJob(printer, dummyDocumentName);
  if (queue == QUEUE_HOLDS_JOB) {
    *settle = SETTLE_QUEUE_BUSY;
    return INQUIRY_SILENT;
  }
  if (queue != QUEUE_EMPTY) {
    ShowAlert(TEXT_ENUM_JOBS_FAILED);
    return INQUIRY_FATAL;
  }
  int result = SendInquiryJob(printer);
  if (result == INQUIRY_SILENT) *settle = SETTLE_JOB_SENT;
  return result;
}

static int InquirePrinter(const PRINTER_INFO_2W* entry) {
  HANDLE printer = NULL;
  if (!OpenPrinterW(entry->pPrinterName, &printer, NULL)) {
    ShowAlert(TEXT_OPEN_FAILED);
    return INQUIRY_FATAL;
  }
  int settle = SETTLE_NONE;
  int result = InquireOpenPrinter(printer, entry, &settle);
  ClosePrinter(printer);
  // A busy queue gets time to move before the window comes up; ticks refresh it meanwhile.
  if (settle == SETTLE_QUEUE_BUSY) PauseMilliseconds(INQUIRY_WAIT_MILLISECONDS);
  if (settle != SETTLE_NONE) PumpMessages(INQUIRY_PUMP_STEPS);
  return result;
}

static int RunInquiry(void) {
  PRINTER_INFO_2W* list = NULL;
  DWORD count = 0;
  if (EnumeratePrinters(&list, &count) != ENUM_READY) return INQUIRY_FATAL;
  WCHAR defaultName[PROFILE_DEVICE_UNITS];
  BOOL hasDefault = ReadDefaultPrinterName(defaultName, PROFILE_DEVICE_UNITS);
  PRINTER_INFO_2W* entry = NULL;
  int outcome = list ? WalkPrinters(list, count, hasDefault ? defaultName : NULL, &entry)
                     : WALK_NO_SUPPORTED_PRINTER;
  int result = outcome == WALK_FOUND ? InquirePrinter(entry) : INQUIRY_SILENT;
  if (list) FreeAllocated(list);
  return outcome == WALK_FOUND ? result : ExplainWalk(outcome);
}

int StatusInquiry(void) {
  // Boxes and pumps inside an inquiry dispatch further double-clicks.
  if (inquiryRunning) return INQUIRY_SILENT;
  inquiryRunning = 1;
  int result = RunInquiry();
  inquiryRunning = 0;
  return result;
}
