// Plays the parsed commands against the record and the simulated queue.
#include "lmsim.h"
#include "connection/connection_block.h"

static BOOL WriteHeldState(void) {
  BYTE* record = LockRecord();
  if (!record) return FALSE;
  if (simPrinter.printerSet) StoreText(record, CB_PRINTER_NAME, CB_PRINTER_NAME_SIZE, simPrinter.printerName);
  if (simPrinter.modelSet) StoreText(record, CB_MODEL_TEXT, CB_MODEL_TEXT_SIZE, simPrinter.modelText);
  if (simPrinter.statusSet) StoreLong(record, CB_STATUS_CODE, simPrinter.status);
  if (simPrinter.userSet) StoreText(record, CB_USER_NAME, CB_USER_NAME_SIZE, simPrinter.userName);
  if (simPrinter.documentSet) StoreText(record, CB_DOCUMENT_NAME, CB_DOCUMENT_NAME_SIZE, simPrinter.documentName);
  UnlockRecord();
  return TRUE;
}

// A running status monitor whose record carries its initial displayMode.
static BOOL MonitorInitialised(void) {
  if (!MonitorRunning()) return FALSE;
  BYTE* record = LockRecord();
  if (!record) return FALSE;
  BOOL initialised = RecordLong(record, CB_DISPLAY_MODE) == CB_INITIAL_DISPLAY_MODE;
  UnlockRecord();
  return initialised;
}

static int WaitForMonitor(DWORD limit) {
  ULONGLONG start = GetTickCount64();
  while (!MonitorInitialised()) {
    if (GetTickCount64() - start >= limit) {
      Complain(L"no status monitor came up within %lu ms", limit);
      return EXIT_FAILED;
    }
    ServeOnce();
    Sleep(SERVE_POLL_MS);
  }
  Say(L"status monitor is running");
  return WriteHeldState() ? EXIT_DONE : EXIT_FAILED;
}

static void ServeUntilMonitorEnds(BOOL limited, DWORD limit) {
  ULONGLONG start = GetTickCount64();
  while (MonitorRunning() && (!limited || GetTickCount64() - start < limit)) {
    ServeOnce();
    Sleep(SERVE_POLL_MS);
  }
  ServeOnce();
}

static int HoldMutex(DWORD milliseconds) {
  if (!LockRecord()) return EXIT_FAILED;
  Say(L"holding the record's mutex for %lu ms", milliseconds);
  Sleep(milliseconds);
  UnlockRecord();
  return EXIT_DONE;
}

static void Dump(void) {
  BYTE* record = LockRecord();
  if (!record) return;
  Say(L"printerName \"%ls\", modelText \"%ls\", statusCode %ld, userName \"%ls\", documentName \"%ls\", "
      L"displayMode %ld, cancelRequest %ld, window %ld,%ld",
      RecordText(record, CB_PRINTER_NAME, CB_PRINTER_NAME_SIZE).c_str(),
      RecordText(record, CB_MODEL_TEXT, CB_MODEL_TEXT_SIZE).c_str(), RecordLong(record, CB_STATUS_CODE),
      RecordText(record, CB_USER_NAME, CB_USER_NAME_SIZE).c_str(),
      RecordText(record, CB_DOCUMENT_NAME, CB_DOCUMENT_NAME_SIZE).c_str(), RecordLong(record, CB_DISPLAY_MODE),
      RecordLong(record, CB_CANCEL_REQUEST), RecordLong(record, CB_WINDOW_LEFT), RecordLong(record, CB_WINDOW_TOP));
  UnlockRecord();
}

static BOOL SetText(std::wstring* held, BOOL* set, DWORD offset, DWORD size, const std::wstring& text) {
  *held = text;
  *set = TRUE;
  return WriteRecordText(offset, size, text);
}

// One command; the result is an exit code, EXIT_DONE to go on.
static int RunStep(const Step& step) {
  BOOL done = TRUE;
  switch (step.command) {
    case CMD_PRINTER:
      done = SetText(&simPrinter.printerName, &simPrinter.printerSet, CB_PRINTER_NAME, CB_PRINTER_NAME_SIZE, step.text);
      break;
    case CMD_MODEL:
      done = SetText(&simPrinter.modelText, &simPrinter.modelSet, CB_MODEL_TEXT, CB_MODEL_TEXT_SIZE, step.text);
      break;
    case CMD_USER:
      done = SetText(&simPrinter.userName, &simPrinter.userSet, CB_USER_NAME, CB_USER_NAME_SIZE, step.text);
      break;
    case CMD_DOCUMENT:
      done = SetText(&simPrinter.documentName, &simPrinter.documentSet, CB_DOCUMENT_NAME, CB_DOCUMENT_NAME_SIZE,
                     step.text);
      break;
    case CMD_STATUS:
      simPrinter.status = step.number;
      simPrinter.statusSet = TRUE;
      done = WriteRecordLong(CB_STATUS_CODE, step.number);
      break;
    case CMD_JOB:
      done = QueueJob();
      break;
    case CMD_END_JOB:
      EndJob();
      break;
    case CMD_DISPLAY_MODE:
      done = WriteRecordLong(CB_DISPLAY_MODE, step.number);
      break;
    case CMD_CANCEL_REQUEST:
      done = WriteRecordLong(CB_CANCEL_REQUEST, step.number);
      break;
    case CMD_ANSWER:
      simPrinter.answerMode = step.hasNumber ? ANSWER_FIXED : step.text == L"off" ? ANSWER_OFF : ANSWER_CURRENT;
      simPrinter.answerCode = step.number;
      break;
    case CMD_ANSWER_DELAY:
      simPrinter.answerDelay = step.number;
      break;
    case CMD_CANCEL:
      simPrinter.cancelHonoured = step.text == L"on";
      break;
    case CMD_HOLD:
      return HoldMutex(step.number);
    case CMD_WAIT:
      ServeFor(step.number);
      break;
    case CMD_WAIT_MONITOR:
      return WaitForMonitor(step.hasNumber ? (DWORD)step.number : (DWORD)MONITOR_WAIT_DEFAULT_MS);
    case CMD_SERVE:
      ServeUntilMonitorEnds(step.hasNumber, step.number);
      break;
    case CMD_LOOP:
      break;
    case CMD_INSTALL:
      done = InstallPrinter(step.text);
      break;
    case CMD_ECHO:
      Say(L"%ls", step.text.c_str());
      break;
    case CMD_DUMP:
      Dump();
      break;
  }
  if (!done) Complain(L"%ls: failed", step.origin.c_str());
  return done ? EXIT_DONE : EXIT_FAILED;
}

int RunSteps(const std::vector<Step>& steps) {
  for (size_t index = 0; index < steps.size(); index++) {
    int result = RunStep(steps[index]);
    if (result != EXIT_DONE) return result;
    if (steps[index].command == CMD_LOOP) {
      // A script of nothing but writes must not spin: serve one poll per round.
      ServeFor(SERVE_POLL_MS);
      index = (size_t)-1;
    }
  }
  return EXIT_DONE;
}
