// PresentStatus on the real status window: icon, message, short text and buttons.
#include "status_fixture.h"

using PresentTest = StatusWindowTest;

static HICON ShownIcon(HWND window) {
  return (HICON)SendDlgItemMessageW(window, IDC_STATUS_ICON, STM_GETICON, 0, 0);
}

static BOOL Enabled(HWND window, int id) {
  return IsWindowEnabled(GetDlgItem(window, id));
}

// Counts the texts set into the message control.
static int messageWrites;
static WNDPROC editProcedure;
static LRESULT CALLBACK CountingEditProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTEXT) messageWrites++;
  return CallWindowProcW(editProcedure, control, message, wParam, lParam);
}

TEST_F(PresentTest, ShowsTheRowsIconMessageAndShortText) {
  PresentStatus(window, state, 302);
  EXPECT_EQ(IconOf(IDI_OPERATOR_ERROR), ShownIcon(window));
  EXPECT_EQ(L"[0302 用紙なし]", Head(ControlText(window, IDC_STATUS_TEXT).c_str()));
  EXPECT_EQ(ControlText(window, IDC_STATUS_TEXT), std::wstring(state->messageText));
  EXPECT_STREQ(L"用紙なし", state->tipText);

  PresentStatus(window, state, 640);
  EXPECT_EQ(IconOf(IDI_FAULT), ShownIcon(window));
  EXPECT_EQ(L"[ 640 システムエラー]", Head(ControlText(window, IDC_STATUS_TEXT).c_str()));
  EXPECT_STREQ(L"640 システムエラー", state->tipText);

  PresentStatus(window, state, 0);
  EXPECT_EQ(IconOf(IDI_READY), ShownIcon(window));
  EXPECT_EQ(L"[0000 印刷可能]", ControlText(window, IDC_STATUS_TEXT));
  EXPECT_STREQ(L"印刷可能...", state->tipText);
}

// The same code again leaves the message alone (the operator's scroll position
// stays) but puts icon and buttons back whatever happened to them meanwhile.
TEST_F(PresentTest, UnchangedMessageIsNotRewrittenButIconAndButtonsAre) {
  HWND edit = GetDlgItem(window, IDC_STATUS_TEXT);
  editProcedure = (WNDPROC)SetWindowLongPtrW(edit, GWLP_WNDPROC, (LONG_PTR)CountingEditProc);
  messageWrites = 0;

  PresentStatus(window, state, 1500);
  EXPECT_EQ(1, messageWrites);
  SendDlgItemMessageW(window, IDC_STATUS_ICON, STM_SETICON, 0, 0);
  EnableWindow(GetDlgItem(window, IDC_OK), FALSE);
  EnableWindow(GetDlgItem(window, IDC_CANCEL_PRINT), TRUE);

  PresentStatus(window, state, 1500);
  EXPECT_EQ(1, messageWrites);
  EXPECT_EQ(IconOf(IDI_FAULT), ShownIcon(window));
  EXPECT_TRUE(Enabled(window, IDC_OK));
  EXPECT_FALSE(Enabled(window, IDC_CANCEL_PRINT));

  PresentStatus(window, state, 1501);
  EXPECT_EQ(2, messageWrites);
  SetWindowLongPtrW(edit, GWLP_WNDPROC, (LONG_PTR)editProcedure);
}

TEST_F(PresentTest, ButtonsFollowTheSpoolerAndTheRecord) {
  printerJobCount = 1;
  PresentStatus(window, state, 406);
  EXPECT_FALSE(Enabled(window, IDC_OK));
  EXPECT_TRUE(Enabled(window, IDC_CANCEL_PRINT));

  // Offline with the document unnamed in the record: nothing to cancel.
  printerStatus = PRINTER_STATUS_OFFLINE;
  firstJobStatus = JOB_STATUS_PRINTING;
  SetBlockLong(privateCopy, CB_USER_NAME, 'u');
  PresentStatus(window, state, 406);
  EXPECT_TRUE(Enabled(window, IDC_OK));
  EXPECT_FALSE(Enabled(window, IDC_CANCEL_PRINT));
}

// However odd the code, the window is left with a message and an icon.
TEST_F(PresentTest, OddCodesStillGiveMessageAndIcon) {
  static const SHORT oddCodes[] = {-32768, -1, 150, 300, 9999, 32767};
  for (SHORT code : oddCodes) {
    SCOPED_TRACE(code);
    SendDlgItemMessageW(window, IDC_STATUS_ICON, STM_SETICON, 0, 0);
    SetDlgItemTextW(window, IDC_STATUS_TEXT, L"");
    PresentStatus(window, state, code);
    EXPECT_EQ(IconOf(FindStatusEntry(code)->iconId), ShownIcon(window));
    EXPECT_TRUE(ShownIcon(window) != NULL);
    EXPECT_EQ(L'[', ControlText(window, IDC_STATUS_TEXT)[0]);
    EXPECT_NE(L'\0', state->tipText[0]);
  }
}
