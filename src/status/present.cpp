// Shows a status code in the window: icon, message, short text and the two buttons.
#include <wchar.h>
#include "connection/connection.h"
#include "status/status.h"
#include "window/window.h"

struct ShortText {
  SHORT code;
  const WCHAR* text;
};
// Codes whose message head makes a poor tip get a text of their own.
static const ShortText shortTexts[] = {
    {STATUS_READY, L"印刷可能..."},
    {STATUS_PRINTING, L"印刷中..."},
    {STATUS_GETTING_INFORMATION, L"情報取得中..."},
    {STATUS_WARNING, L"ワーニング..."},
};

struct CodeRange {
  SHORT first, last;
};
// Codes after which the printer needs the operator before anything else:
// OK would only hide the instructions, so cancelling stays the way out.
static const CodeRange okBlockingCodes[] = {
    {402, 404}, {406, 408}, {700, 700}, {702, 705}, {707, 715}, {1500, 1500},
};

void BuildMessageText(const StatusEntry* entry, SHORT code, WCHAR* messageText) {
  if (entry->formatted)
    wsprintfW(messageText, entry->text, (int)code);
  else
    lstrcpynW(messageText, entry->text, MESSAGE_TEXT_UNITS);
}

static BOOL IsDigit(WCHAR c) {
  return c >= L'0' && c <= L'9';
}

void BuildTipText(SHORT code, const WCHAR* messageText, WCHAR* tipText) {
  tipText[0] = L'\0';
  for (const ShortText& fixed : shortTexts) {
    if (fixed.code != code) continue;
    lstrcpynW(tipText, fixed.text, TIP_TEXT_UNITS);
    return;
  }
  // The message head "[0301 カバーオープン]" gives "カバーオープン".
  if (messageText[0] == L'\0') return;
  const WCHAR* start = messageText + 1;
  while (IsDigit(*start)) start++;
  if (*start == L'\0') return;
  start++;
  int length = 0;
  while (length < TIP_TEXT_UNITS - 1) {
    WCHAR c = start[length];
    // A head ends at its bracket or, at the latest, before the line break.
    if (c == L'\0' || c == L']' || c == L'\n' || start[length + 1] == L'\n') break;
    length++;
  }
  CopyMemory(tipText, start, length * sizeof(WCHAR));
  tipText[length] = L'\0';
}

BOOL CodeBlocksOk(SHORT code) {
  for (const CodeRange& range : okBlockingCodes)
    if (code >= range.first && code <= range.last) return TRUE;
  return FALSE;
}

// The record names the job, and the spooler has status bits for it.
static BOOL JobIdentified(void) {
  if (!privateCopy) return FALSE;
  return privateCopy[CB_USER_NAME] != 0 && privateCopy[CB_DOCUMENT_NAME] != 0 && firstJobStatus != 0;
}

void ChooseButtons(SHORT code, BOOL* okEnabled, BOOL* cancelEnabled) {
  BOOL inTrouble = (printerStatus & PRINTER_TROUBLE_BITS) != 0;
  *cancelEnabled = printerJobCount != 0 && (!inTrouble || JobIdentified());
  *okEnabled = !*cancelEnabled || !CodeBlocksOk(code);
}

void PresentStatus(HWND window, MonitorState* state, SHORT code) {
  const StatusEntry* entry = FindStatusEntry(code);
  HICON icon = LoadIconW(instanceHandle, MAKEINTRESOURCEW(entry->iconId));
  BuildMessageText(entry, code, state->messageText);
  SendDlgItemMessageW(statusWindow, IDC_STATUS_ICON, STM_SETICON, (WPARAM)icon, 0);

  // Rewriting an unchanged message would lose the operator's scroll position.
  WCHAR shown[MESSAGE_TEXT_UNITS];
  shown[0] = L'\0';
  GetDlgItemTextW(window, IDC_STATUS_TEXT, shown, MESSAGE_TEXT_UNITS);
  if (wcscmp(shown, state->messageText) != 0) SetDlgItemTextW(window, IDC_STATUS_TEXT, state->messageText);

  BuildTipText(code, state->messageText, state->tipText);

  BOOL okEnabled, cancelEnabled;
  ChooseButtons(code, &okEnabled, &cancelEnabled);
  EnableWindow(GetDlgItem(window, IDC_OK), okEnabled);
  EnableWindow(GetDlgItem(window, IDC_CANCEL_PRINT), cancelEnabled);
}
