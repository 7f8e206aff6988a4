// The status catalogue: for every code the icon and message of the window, and the notification area's picture.
#include "status/status.h"
#include "window/resource.h"

#define TEXT_STOP_NOTE                                                  \
  L"注）印刷を中止する時は「印刷中止」ボタンをクリックした後、\r\n"     \
  L"    プリンタの電源を再投入してください。\r\n"                       \
  L"    印刷を中止する場合、この操作を行わないと不正印刷や\r\n"         \
  L"    通信不良の原因となります。"

#define TEXT_CHECK_STEPS                                                   \
  L"《操作手順》\r\n"                                                      \
  L"１．プリンタの電源を確認します。\r\n"                                  \
  L"２．プリンタケーブルの接続を確認します。\r\n"                          \
  L"    確実に接続されていますか？\r\n"                                    \
  L"    断線していませんか？\r\n"                                          \
  L"３．パソコンのプリンタポート設定が双方向通信可能な設定に\r\n"          \
  L"    なっているか確認します。\r\n"                                      \
  L"４．ＣＯＭポートをご利用の場合、パソコンとプリンタの通信設定\r\n"      \
  L"    （ボーレート・プロトコル等）が合っているか確認してください。\r\n"  \
  L"５．プリンタがオンラインになっているか確認します。\r\n"                \
  L"６．プリンタエラーが発生していないか確認します。\r\n"                  \
  L"７．プリンタエラーが発生している場合は、「印刷中止」ボタンを\r\n"      \
  L"    クリックし、プリンタエラーを解除してからプリンタ電源を再投入\r\n"  \
  L"    します。"

#define TEXT_PRINTER_FAULT                  \
  L"[%04d プリンタ異常]\r\n"                \
  L"プリンタで異常が発生しました。\r\n"     \
  L"プリンタの状態を確認してください。"

enum { PLAIN_TEXT = 0, FORMAT_TEXT = 1 };

static const StatusEntry normalRows[] = {
    {0, IDI_READY, PLAIN_TEXT, L"[0000 印刷可能]"},
    {2, IDI_READY, PLAIN_TEXT,
     L"[0002 印刷中]\r\n"
     L"\r\n" TEXT_STOP_NOTE},
    {100, IDI_NOTICE, PLAIN_TEXT, L"[情報取得中]"},
    {200, IDI_NOTICE, PLAIN_TEXT,
     L"[0200 オフライン]\r\n"
     L"プリンタがオフラインを返しています。\r\n"
     L"プリンタの状態を確認してください。"},
    {202, IDI_NOTICE, PLAIN_TEXT,
     L"[0202 用紙少ない]\r\n"
     L"用紙が残り少なくなっています。\r\n"
     L"新しい用紙を用意し、交換できる準備をしてください。\r\n"
     L"用紙の交換方法\r\n"
     L"１．カバーを開き、少ない用紙を取り出し、新しい用紙を\r\n"
     L"    セットします。\r\n"
     L"２．カバーを閉じます。\r\n" TEXT_STOP_NOTE},
    {FALLBACK_CODE, IDI_FAULT, FORMAT_TEXT, TEXT_PRINTER_FAULT},
};

static const StatusEntry operatorErrorRows[] = {
    {301, IDI_OPERATOR_ERROR, PLAIN_TEXT,
     L"[0301 カバーオープン]\r\n"
     L"カバーが開いています。\r\n"
     L"《操作手順》\r\n"
     L"カバーを閉じます。\r\n" TEXT_STOP_NOTE},
    {302, IDI_OPERATOR_ERROR, PLAIN_TEXT,
     L"[0302 用紙なし]\r\n"
     L"用紙がありません。\r\n"
     L"《操作手順》\r\n"
     L"１．カバーを開き、用紙の芯を取り出し、新しい用紙を\r\n"
     L"    セットします。\r\n"
     L"２．カバーを閉じます。\r\n" TEXT_STOP_NOTE},
    {303, IDI_OPERATOR_ERROR, PLAIN_TEXT,
     L"[0303 ヘッドホット状態]\r\n"
     L"ヘッドが高温になりました。\r\n"
     L"《操作手順》\r\n"
     L"ヘッド温度が下がるまで、しばらくお待ちください。\r\n" TEXT_STOP_NOTE},
    {304, IDI_OPERATOR_ERROR, PLAIN_TEXT,
     L"[0304 用紙レイアウトエラー]\r\n"
     L"ラベル間検出または、BM検出でエラーが発生しました。\r\n"
     L"《操作手順》\r\n"
     L"プリンタのプロパティを開き、用紙サイズをプリンタにセット\r\n"
     L"されている用紙に合わせてください。\r\n"
     L"または、プリンタのプロパティで設定されている用紙をプリンタ\r\n"
     L"にセットしてください。\r\n" TEXT_STOP_NOTE},
    {305, IDI_OPERATOR_ERROR, PLAIN_TEXT,
     L"[0305 カッタジャム]\r\n"
     L"カッタジャムエラーが発生しました。\r\n"
     L"《操作手順》\r\n"
     L"１．プリンタの電源を切ります。\r\n"
     L"２．カバーを開き、紙詰まりなどの原因を取り除いてください。\r\n"
     L"３．用紙を真っ直ぐにセットして、カバーを閉じます。\r\n"
     L"４．プリンタの電源を入れます。\r\n"
     L"注）カバーが開かない場合は、プリンタ取扱説明書の手順に\r\n"
     L"    従って操作してください。\r\n" TEXT_STOP_NOTE},
    {FALLBACK_CODE, IDI_FAULT, FORMAT_TEXT, TEXT_PRINTER_FAULT},
};

static const StatusEntry faultRows[] = {
    {FALLBACK_CODE, IDI_FAULT, FORMAT_TEXT, TEXT_PRINTER_FAULT},
};

static const StatusEntry dataErrorRows[] = {
    {500, IDI_FAULT, PLAIN_TEXT,
     L"[0500 データエラー]\r\n"
     L"不正なデータを検出しました。\r\n" TEXT_CHECK_STEPS},
    {FALLBACK_CODE, IDI_FAULT, FORMAT_TEXT, TEXT_PRINTER_FAULT},
};

static const StatusEntry hardwareErrorRows[] = {
    {700, IDI_HARDWARE_ERROR, PLAIN_TEXT,
     L"[0700 ハードエラー]\r\n"
     L"電圧異常、ROM/RAMエラー、印刷ヘッド未搭載、カッタ異常\r\n"
     L"の何れかが発生しました。\r\n"
     L"《操作手順》\r\n"
     L"プリンタの電源を再投入してください。\r\n"
     L"エラーが復帰しない場合は、電源を切って使用を止めてください。"},
    {FALLBACK_CODE, IDI_FAULT, FORMAT_TEXT, TEXT_PRINTER_FAULT},
};

static const StatusEntry otherRows[] = {
    {1500, IDI_FAULT, PLAIN_TEXT,
     L"[1500 通信異常]\r\n"
     L"プリンタからの応答がありません。\r\n" TEXT_CHECK_STEPS L"\r\n"
     L"\t\r\n"
     L"(注）前に行った印刷を中止し、プリンタの電源を再投入しなかった\r\n"
     L"    場合も、通信異常となります。"},
    {1900, IDI_FAULT, PLAIN_TEXT,
     L"[1900 メモリ不足]\r\n"
     L"メモリ不足が発生しました。\r\n"
     L"不要なアプリケーションを終了してください。"},
    {FALLBACK_CODE, IDI_FAULT, FORMAT_TEXT,
     L"[%4d システムエラー]\r\n"
     L"システムエラーが発生しました。\r\n"
     L"印刷を終了し、再度印刷を行ってください。"},
};

static const StatusEntry* GroupOf(SHORT code) {
  if (code < FIRST_OPERATOR_ERROR) return normalRows;
  if (code < FIRST_FAULT_CODE) return operatorErrorRows;
  if (code < FIRST_DATA_ERROR) return faultRows;
  if (code < FIRST_UNASSIGNED_CODE) return dataErrorRows;
  if (code >= FIRST_HARDWARE_ERROR && code < FIRST_OTHER_CODE) return hardwareErrorRows;
  return otherRows;
}

const StatusEntry* FindStatusEntry(SHORT code) {
  const StatusEntry* row = GroupOf(code);
  // Every group ends in its fallback row, which answers without comparing.
  while (row->code != FALLBACK_CODE && row->code != code) row++;
  return row;
}

WORD TrayIconId(SHORT code) {
  switch (code) {
    case STATUS_READY:
    case STATUS_PRINTING:
      return IDI_READY;
    case STATUS_GETTING_INFORMATION:
    case STATUS_WARNING:
    case STATUS_OFFLINE:
    case STATUS_PAPER_LOW:
      return IDI_NOTICE;
    case STATUS_HARDWARE_ERROR:
      return IDI_HARDWARE_ERROR;
  }
  if (code >= FIRST_OPERATOR_ERROR && code <= LAST_OPERATOR_ERROR) return IDI_OPERATOR_ERROR;
  return IDI_FAULT;
}
