// The spooler's printer list, with buffer growth and a bounded retry budget.
#include "app/app.h"
#include "printers/printers.h"

#define TEXT_ENUM_NO_MEMORY L"メモリ獲得に失敗しました。\nError : EnumPrinters\n\nプログラムを終了します。"
#define TEXT_ENUM_FAILED L"プリンタ（ドライバ）情報取得に失敗しました。\nError : EnumPrinters\n\nプログラムを終了します。"

enum { ENUM_FLAGS = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, ENUM_LEVEL = 2, RETRY_PUMP_STEPS = 10 };

int EnumeratePrinters(PRINTER_INFO_2W** list, DWORD* count) {
  *list = NULL;
  *count = 0;
  BYTE* buffer = NULL;
  DWORD size = 0;
  int budget = ENUM_RETRY_BUDGET;
  for (;;) {
    DWORD needed = 0, returned = 0;
    if (EnumPrintersW(ENUM_FLAGS, NULL, ENUM_LEVEL, buffer, size, &needed, &returned)) {
      *list = (PRINTER_INFO_2W*)buffer;
      *count = returned;
      return ENUM_READY;
    }
    DWORD error = GetLastError();
    // A shortage that asks for no more than the buffer already has cannot be
    // mended by growing it: retried as it is, it would spin for ever without
    // pumping, so it counts against the budget like any other failure.
    if (error == ERROR_INSUFFICIENT_BUFFER && (needed == 0 || needed > size)) {
      FreeAllocated(buffer);
      DWORD allocError;
      buffer = (BYTE*)AllocZeroed(needed, &allocError);
      if (!buffer) {
        ShowAlert(TEXT_ENUM_NO_MEMORY);
        return ENUM_FATAL;
      }
      size = needed;
      continue;
    }
    if (budget == 0) {
      FreeAllocated(buffer);
      ShowAlert(TEXT_ENUM_FAILED);
      return ENUM_FATAL;
    }
    budget--;
    PumpMessages(RETRY_PUMP_STEPS);
  }
}

BOOL FindSupportedPrinter(int* enumResult) {
  PRINTER_INFO_2W* list = NULL;
  DWORD count = 0;
  *enumResult = EnumeratePrinters(&list, &count);
  if (*enumResult != ENUM_READY) return FALSE;
  PRINTER_INFO_2W* matched;
  BOOL found = IdentifyModel(list, count, &matched);
  FreeAllocated(list);
  return found;
}
