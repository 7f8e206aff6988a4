// The status catalogue: which row answers a code, the texts it gives, and the button rule.
#include <gtest/gtest.h>
#include <string>
#include "connection/connection.h"
#include "status/status.h"
#include "window/resource.h"

struct CodeCase {
  SHORT code;
  WORD windowIcon;
  const WCHAR* head;
  const WCHAR* tip;
  WORD trayIcon;
};

static const CodeCase codeCases[] = {
    // below 300: the normal states, and the printer-fault fallback
    {0, IDI_READY, L"[0000 印刷可能]", L"印刷可能...", IDI_READY},
    {2, IDI_READY, L"[0002 印刷中]", L"印刷中...", IDI_READY},
    {100, IDI_NOTICE, L"[情報取得中]", L"情報取得中...", IDI_NOTICE},
    {150, IDI_FAULT, L"[0150 プリンタ異常]", L"ワーニング...", IDI_NOTICE},
    {200, IDI_NOTICE, L"[0200 オフライン]", L"オフライン", IDI_NOTICE},
    {202, IDI_NOTICE, L"[0202 用紙少ない]", L"用紙少ない", IDI_NOTICE},
    {1, IDI_FAULT, L"[0001 プリンタ異常]", L"プリンタ異常", IDI_FAULT},
    {299, IDI_FAULT, L"[0299 プリンタ異常]", L"プリンタ異常", IDI_FAULT},
    {-5, IDI_FAULT, L"[-005 プリンタ異常]", L"005 プリンタ異常", IDI_FAULT},
    {-32768, IDI_FAULT, L"[-32768 プリンタ異常]", L"32768 プリンタ異常", IDI_FAULT},
    // 300 to 399: operator errors
    {300, IDI_FAULT, L"[0300 プリンタ異常]", L"プリンタ異常", IDI_OPERATOR_ERROR},
    {301, IDI_OPERATOR_ERROR, L"[0301 カバーオープン]", L"カバーオープン", IDI_OPERATOR_ERROR},
    {302, IDI_OPERATOR_ERROR, L"[0302 用紙なし]", L"用紙なし", IDI_OPERATOR_ERROR},
    {303, IDI_OPERATOR_ERROR, L"[0303 ヘッドホット状態]", L"ヘッドホット状態", IDI_OPERATOR_ERROR},
    {304, IDI_OPERATOR_ERROR, L"[0304 用紙レイアウトエラー]", L"用紙レイアウトエラー", IDI_OPERATOR_ERROR},
    {305, IDI_OPERATOR_ERROR, L"[0305 カッタジャム]", L"カッタジャム", IDI_OPERATOR_ERROR},
    {306, IDI_FAULT, L"[0306 プリンタ異常]", L"プリンタ異常", IDI_FAULT},
    {399, IDI_FAULT, L"[0399 プリンタ異常]", L"プリンタ異常", IDI_FAULT},
    // 400 to 499: printer faults, all by the fallback
    {400, IDI_FAULT, L"[0400 プリンタ異常]", L"プリンタ異常", IDI_FAULT},
    {450, IDI_FAULT, L"[0450 プリンタ異常]", L"プリンタ異常", IDI_FAULT},
    {499, IDI_FAULT, L"[0499 プリンタ異常]", L"プリンタ異常", IDI_FAULT},
    // 500 to 599: data errors
    {500, IDI_FAULT, L"[0500 データエラー]", L"データエラー", IDI_FAULT},
    {501, IDI_FAULT, L"[0501 プリンタ異常]", L"プリンタ異常", IDI_FAULT},
    {599, IDI_FAULT, L"[0599 プリンタ異常]", L"プリンタ異常", IDI_FAULT},
    // 600 to 699 and 800 up: system errors, the number right-aligned
    {600, IDI_FAULT, L"[ 600 システムエラー]", L"600 システムエラー", IDI_FAULT},
    {650, IDI_FAULT, L"[ 650 システムエラー]", L"650 システムエラー", IDI_FAULT},
    {699, IDI_FAULT, L"[ 699 システムエラー]", L"699 システムエラー", IDI_FAULT},
    {800, IDI_FAULT, L"[ 800 システムエラー]", L"800 システムエラー", IDI_FAULT},
    {1500, IDI_FAULT, L"[1500 通信異常]", L"通信異常", IDI_FAULT},
    {1900, IDI_FAULT, L"[1900 メモリ不足]", L"メモリ不足", IDI_FAULT},
    {1901, IDI_FAULT, L"[1901 システムエラー]", L"システムエラー", IDI_FAULT},
    {9999, IDI_FAULT, L"[9999 システムエラー]", L"システムエラー", IDI_FAULT},
    {12000, IDI_FAULT, L"[12000 システムエラー]", L"システムエラー", IDI_FAULT},
    {32767, IDI_FAULT, L"[32767 システムエラー]", L"システムエラー", IDI_FAULT},
    // 700 to 799: hardware errors
    {700, IDI_HARDWARE_ERROR, L"[0700 ハードエラー]", L"ハードエラー", IDI_HARDWARE_ERROR},
    {701, IDI_FAULT, L"[0701 プリンタ異常]", L"プリンタ異常", IDI_FAULT},
    {799, IDI_FAULT, L"[0799 プリンタ異常]", L"プリンタ異常", IDI_FAULT},
};

static std::wstring HeadOf(const WCHAR* message) {
  std::wstring text = message;
  return text.substr(0, text.find(L"\r\n"));
}

TEST(Catalogue, EveryCodeGetsItsIconsMessageHeadAndShortText) {
  for (const CodeCase& c : codeCases) {
    SCOPED_TRACE(c.code);
    const StatusEntry* entry = FindStatusEntry(c.code);
    ASSERT_TRUE(entry != NULL);
    EXPECT_EQ(c.windowIcon, entry->iconId);
    WCHAR message[MESSAGE_TEXT_UNITS];
    BuildMessageText(entry, c.code, message);
    EXPECT_EQ(std::wstring(c.head), HeadOf(message));
    WCHAR tip[TIP_TEXT_UNITS];
    BuildTipText(c.code, message, tip);
    EXPECT_EQ(std::wstring(c.tip), tip);
    EXPECT_EQ(c.trayIcon, TrayIconId(c.code));
  }
}

// Whatever the language monitor writes, the window gets a well-formed message
// with a head, and a short text for the tip.
TEST(Catalogue, EverySixteenBitCodeGetsAWellFormedMessage) {
  for (int code = -32768; code <= 32767; code++) {
    WCHAR message[MESSAGE_TEXT_UNITS];
    BuildMessageText(FindStatusEntry((SHORT)code), (SHORT)code, message);
    std::wstring text = message;
    ASSERT_EQ(L'[', text[0]) << code;
    ASSERT_NE(std::wstring::npos, HeadOf(message).find(L']')) << code;
    for (size_t i = 0; i < text.size(); i++) {
      if (text[i] == L'\r') {
        ASSERT_EQ(L'\n', text[i + 1]) << code << " at " << i;
      }
      if (text[i] == L'\n') {
        ASSERT_EQ(L'\r', text[i - 1]) << code << " at " << i;
      }
    }
    WCHAR tip[TIP_TEXT_UNITS];
    BuildTipText((SHORT)code, message, tip);
    ASSERT_NE(L'\0', tip[0]) << code;
  }
}

// The rows that are built from shared pieces, written out whole.
TEST(Catalogue, ComposedTextsAreExact) {
  WCHAR message[MESSAGE_TEXT_UNITS];
  BuildMessageText(FindStatusEntry(2), 2, message);
  EXPECT_STREQ(
      L"[0002 印刷中]\r\n\r\n注）印刷を中止する時は「印刷中止」ボタンをクリックした後、\r\n"
      L"    プリンタの電源を再投入してください。\r\n    印刷を中止する場合、この操作を行わないと不正印刷や\r\n"
      L"    通信不良の原因となります。",
      message);

  BuildMessageText(FindStatusEntry(1500), 1500, message);
  EXPECT_STREQ(
      L"[1500 通信異常]\r\nプリンタからの応答がありません。\r\n《操作手順》\r\n１．プリンタの電源を確認します。\r\n"
      L"２．プリンタケーブルの接続を確認します。\r\n    確実に接続されていますか？\r\n    断線していませんか？\r\n"
      L"３．パソコンのプリンタポート設定が双方向通信可能な設定に\r\n    なっているか確認します。\r\n"
      L"４．ＣＯＭポートをご利用の場合、パソコンとプリンタの通信設定\r\n"
      L"    （ボーレート・プロトコル等）が合っているか確認してください。\r\n"
      L"５．プリンタがオンラインになっているか確認します。\r\n６．プリンタエラーが発生していないか確認します。\r\n"
      L"７．プリンタエラーが発生している場合は、「印刷中止」ボタンを\r\n"
      L"    クリックし、プリンタエラーを解除してからプリンタ電源を再投入\r\n    します。\r\n\t\r\n"
      L"(注）前に行った印刷を中止し、プリンタの電源を再投入しなかった\r\n    場合も、通信異常となります。",
      message);

  BuildMessageText(FindStatusEntry(640), 640, message);
  EXPECT_STREQ(L"[ 640 システムエラー]\r\nシステムエラーが発生しました。\r\n印刷を終了し、再度印刷を行ってください。", message);
}

TEST(Catalogue, ShortTextIsCutFromTheMessageHead) {
  struct TipCase {
    const WCHAR* message;
    const WCHAR* tip;
  };
  static const TipCase tipCases[] = {
      {L"", L""},
      {L"[", L""},
      {L"[0301", L""},
      {L"[0301 ", L""},
      {L"[0301 カバー", L"カバー"},
      {L"[0301 カバー\r\n次]", L"カバー"},
      {L"[0301 カバー\n次]", L"カバ"},
      {L"[0301\r\n]", L""},
      {L"[ 640 a]b", L"640 a"},
  };
  for (const TipCase& c : tipCases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.message)));
    WCHAR tip[TIP_TEXT_UNITS];
    BuildTipText(401, c.message, tip);
    EXPECT_EQ(std::wstring(c.tip), tip);
  }
}

TEST(Catalogue, ShortTextKeepsWithinItsBuffer) {
  std::wstring message = L"[0401 " + std::wstring(MESSAGE_TEXT_UNITS - 8, L'長');
  WCHAR tip[TIP_TEXT_UNITS + 1];
  tip[TIP_TEXT_UNITS] = L'#';
  BuildTipText(401, message.c_str(), tip);
  EXPECT_EQ(std::wstring(TIP_TEXT_UNITS - 1, L'長'), tip);
  EXPECT_EQ(L'#', tip[TIP_TEXT_UNITS]);
}

TEST(ButtonRule, CodesThatBlockOk) {
  static const SHORT blocking[] = {402, 403, 404, 406, 407, 408, 700, 702, 703, 704, 705,
                                   707, 708, 711, 714, 715, 1500};
  static const SHORT passing[] = {0, 2, 100, 302, 400, 401, 405, 409, 500, 699, 701, 706, 716, 1499, 1501, -1500};
  for (SHORT code : blocking) EXPECT_TRUE(CodeBlocksOk(code)) << code;
  for (SHORT code : passing) EXPECT_FALSE(CodeBlocksOk(code)) << code;
}

class ButtonRuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedCopy = privateCopy;
    privateCopy = record;
  }
  void TearDown() override {
    privateCopy = savedCopy;
    printerJobCount = printerStatus = firstJobStatus = 0;
  }
  BYTE record[CB_SIZE] = {};
  BYTE* savedCopy = NULL;
};

TEST_F(ButtonRuleTest, CancellingIsOfferedOnlyForAJobThatCanBeNamed) {
  enum { NAMES_NONE, NAMES_USER_ONLY, NAMES_DOCUMENT_ONLY, NAMES_BOTH };
  struct RuleCase {
    DWORD jobs, status, firstJob;
    int names;
    SHORT code;
    BOOL ok, cancel;
  };
  static const RuleCase ruleCases[] = {
      {0, 0, 0, NAMES_NONE, 406, TRUE, FALSE},
      {0, PRINTER_STATUS_ERROR, JOB_STATUS_PRINTING, NAMES_BOTH, 1500, TRUE, FALSE},
      {1, 0, 0, NAMES_NONE, 405, TRUE, TRUE},
      {1, 0, 0, NAMES_NONE, 406, FALSE, TRUE},
      {3, PRINTER_STATUS_PAUSED, 0, NAMES_NONE, 1500, FALSE, TRUE},
      {1, PRINTER_STATUS_OFFLINE, JOB_STATUS_PRINTING, NAMES_USER_ONLY, 406, TRUE, FALSE},
      {1, PRINTER_STATUS_OFFLINE, JOB_STATUS_PRINTING, NAMES_DOCUMENT_ONLY, 406, TRUE, FALSE},
      {1, PRINTER_STATUS_OFFLINE, 0, NAMES_BOTH, 406, TRUE, FALSE},
      {1, PRINTER_STATUS_OFFLINE, JOB_STATUS_PRINTING, NAMES_BOTH, 406, FALSE, TRUE},
      {1, PRINTER_STATUS_ERROR, JOB_STATUS_ERROR, NAMES_BOTH, 405, TRUE, TRUE},
      {1, PRINTER_STATUS_ERROR | PRINTER_STATUS_OFFLINE, JOB_STATUS_ERROR, NAMES_BOTH, 700, FALSE, TRUE},
  };
  for (const RuleCase& c : ruleCases) {
    SCOPED_TRACE(testing::Message() << "jobs " << c.jobs << " status " << c.status << " first job " << c.firstJob
                                    << " names " << c.names << " code " << c.code);
    ZeroMemory(record, sizeof record);
    if (c.names == NAMES_USER_ONLY || c.names == NAMES_BOTH) record[CB_USER_NAME] = 'u';
    if (c.names == NAMES_DOCUMENT_ONLY || c.names == NAMES_BOTH) record[CB_DOCUMENT_NAME] = 'd';
    printerJobCount = c.jobs;
    printerStatus = c.status;
    firstJobStatus = c.firstJob;
    BOOL ok = -1, cancel = -1;
    ChooseButtons(c.code, &ok, &cancel);
    EXPECT_EQ(c.ok, ok);
    EXPECT_EQ(c.cancel, cancel);
  }
}

// Without a record there is no job to name: the window must still be usable.
TEST_F(ButtonRuleTest, NoRecordMeansNoNamedJob) {
  privateCopy = NULL;
  printerJobCount = 1;
  printerStatus = PRINTER_STATUS_OFFLINE;
  firstJobStatus = JOB_STATUS_PRINTING;
  BOOL ok, cancel;
  ChooseButtons(1500, &ok, &cancel);
  EXPECT_TRUE(ok);
  EXPECT_FALSE(cancel);
}
