// Entry point: start-up checks, the single-instance claim, the message loop and the orderly end.
#include <windows.h>
#include <locale.h>
#include "app/app.h"
#include "connection/connection.h"
#include "printers/printers.h"
#include "window/window.h"

enum { VERSION_INFO_EX_SIZE = 284, VERSION_INFO_SIZE = 276 };
enum { PLATFORM_NONE = 0, PLATFORM_NT = 2 };
enum { FIRST_SHOWN_CODE = 300 };

#define TEXT_NO_RECORD L"メモリ獲得に失敗しました。\nError : %s\n\nプログラムを終了します。"

// Ends the process after the claim: the instance mutex goes first.
[[noreturn]] static void EndAfterClaim(void) {
  ReleaseInstanceMutex();
  EndProcess(EXIT_QUIET);
}

static BOOL QueryPlatform(DWORD* platformId) {
  OSVERSIONINFOEXW version;
  ZeroMemory(&version, sizeof version);
  version.dwOSVersionInfoSize = VERSION_INFO_EX_SIZE;
  if (!GetVersionExW((OSVERSIONINFOW*)&version)) {
    version.dwOSVersionInfoSize = VERSION_INFO_SIZE;
    if (!GetVersionExW((OSVERSIONINFOW*)&version)) return FALSE;
  }
  *platformId = version.dwPlatformId;
  return TRUE;
}

static void GiveFirstState(HWND window) {
  if (monitorState->statusCode < FIRST_SHOWN_CODE) {
    minimiseFlag = 0;
    CloseWindow(window);
  } else {
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
  }
  UpdateWindow(window);
}

// Returns the quit value: 1 when the window's destroy handling ended the loop.
static LONG_PTR RunMessageLoop(HWND window) {
  MSG message;
  while (GetMessageW(&message, NULL, 0, 0) > 0) {
    LONG_PTR quit = GetWindowLongPtrW(window, DWLP_USER);
    if (quit != 0) return quit;
    if (IsWindow(window) && IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  setlocale(LC_ALL, "");

  DWORD platformId;
  if (!QueryPlatform(&platformId) || platformId == PLATFORM_NONE) return EXIT_QUIET;
  if (platformId == PLATFORM_NT) {
    int enumResult = ENUM_READY;
    if (!FindSupportedPrinter(&enumResult)) {
      if (enumResult == ENUM_READY) ShowAlert(TEXT_NO_SUPPORTED_PRINTER);
      return EXIT_QUIET;
    }
  }

  InstanceMutexName names;
  SelectNameSet(ModelSlot, &names);
  instanceMutex = ClaimSingleInstance(platformId == PLATFORM_NT ? names.prefixed : names.plain);
  if (!instanceMutex) return EXIT_QUIET;
  instanceHandle = instance;

  switch (CreateConnectionBlock()) {
    case BLOCK_SECURITY_FAILED:
      EndAfterClaim();
    case BLOCK_UNAVAILABLE: {
      // Without the record the window could only show a ready printer that
      // nobody is watching: say so and end instead.
      WCHAR text[256];
      wsprintfW(text, TEXT_NO_RECORD, blockFailedCall);
      ShowAlert(text);
      EndAfterClaim();
    }
  }

  switch (AllocMonitorState()) {
    case STATE_NO_RECORD:
      CloseConnectionBlock();
      EndAfterClaim();
    case STATE_NO_BUFFER:
      FreeMonitorState();
      CloseConnectionBlock();
      EndAfterClaim();
  }
  startDisplayMode = BlockLong(privateCopy, CB_DISPLAY_MODE);

  HWND window = CreateDialogParamW(instanceHandle, MAKEINTRESOURCEW(IDD_STATUS), NULL, StatusDialogProc, 0);
  if (!window) {
    FreeMonitorState();
    CloseConnectionBlock();
    EndAfterClaim();
  }
  GiveFirstState(window);
  SetWindowLongPtrW(window, DWLP_USER, 0);

  LONG_PTR quit = RunMessageLoop(window);

  DestroyWindow(window);
  ReleaseInstanceMutex();
  FreeMonitorState();
  CloseConnectionBlock();
  return (int)quit;
}
