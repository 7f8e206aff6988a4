// The language-monitor simulator: the other side of the connection block,
// played from a small script of timed states.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

enum { EXIT_DONE = 0, EXIT_FAILED = 1, EXIT_USAGE = 2 };

enum {
  SERVE_POLL_MS = 50,           // how often waits look at the queue and the cancel flag
  LOCK_TIMEOUT_MS = 5000,       // a record mutex held longer than this is reported
  MONITOR_WAIT_DEFAULT_MS = 10000,
};

enum Command {
  CMD_PRINTER, CMD_MODEL, CMD_STATUS, CMD_USER, CMD_DOCUMENT, CMD_JOB, CMD_END_JOB,
  CMD_DISPLAY_MODE, CMD_CANCEL_REQUEST, CMD_ANSWER, CMD_ANSWER_DELAY, CMD_CANCEL,
  CMD_HOLD, CMD_WAIT, CMD_WAIT_MONITOR, CMD_SERVE, CMD_LOOP, CMD_INSTALL, CMD_ECHO, CMD_DUMP,
};

enum ArgumentKind {
  ARG_NONE,             // nothing may follow the command
  ARG_TEXT,             // the rest of the line, possibly empty; "..." keeps blanks
  ARG_NUMBER,           // a decimal integer, may be negative
  ARG_DURATION,         // milliseconds, 0 or more
  ARG_OPTIONAL_DURATION,
  ARG_ANSWER,           // a number, "current" or "off"
  ARG_SWITCH,           // "on" or "off"
};

enum { ANSWER_CURRENT = 0, ANSWER_FIXED = 1, ANSWER_OFF = 2 };

struct CommandInfo {
  const WCHAR* name;
  Command command;
  ArgumentKind argument;
  const WCHAR* synopsis;
  const WCHAR* description;
};

// One parsed command, with the place it came from for messages.
struct Step {
  Command command;
  LONG number;
  BOOL hasNumber;
  std::wstring text;
  std::wstring origin;  // "script.txt:12", "-c", "--status"
};

// What the simulated printer is, as far as the script has said.
struct SimulatedPrinter {
  std::wstring printerName, modelText, userName, documentName;
  BOOL printerSet, modelSet, userSet, documentSet, statusSet;
  LONG status;
  int answerMode;
  LONG answerCode;
  DWORD answerDelay;
  BOOL cancelHonoured;
  DWORD queuedJobId;          // the job that the `job` command queued, 0 when none
  int queuedJobPrinter;        // its printer's index in the simulated spooler
};

extern int simSlot;  // 5 or 1: whose names the record and the queue use
extern SimulatedPrinter simPrinter;

// script.cpp
extern const CommandInfo commandTable[];
extern const int commandCount;
const CommandInfo* FindCommand(const WCHAR* name);
BOOL ParseCommandLine(const std::wstring& line, const std::wstring& origin, std::vector<Step>* steps);
BOOL ParseArgument(const CommandInfo* info, const std::wstring& argument, const std::wstring& origin,
                   std::vector<Step>* steps);
BOOL LoadScript(const WCHAR* path, std::vector<Step>* steps);
void PrintHelp(void);

// run.cpp
int RunSteps(const std::vector<Step>& steps);

// record.cpp: the connection block as the language monitor sees it.
BOOL OpenRecord(void);
void CloseRecord(void);
BYTE* LockRecord(void);  // NULL when the mutex could not be had
void UnlockRecord(void);
BOOL WriteRecordText(DWORD offset, DWORD size, const std::wstring& text);
BOOL WriteRecordLong(DWORD offset, LONG value);
std::wstring RecordText(const BYTE* record, DWORD offset, DWORD size);
LONG RecordLong(const BYTE* record, DWORD offset);
void StoreLong(BYTE* record, DWORD offset, LONG value);
void StoreText(BYTE* record, DWORD offset, DWORD size, const std::wstring& text);
BOOL MonitorRunning(void);
const WCHAR* DummyDocumentName(void);
const WCHAR* DriverName(void);

// queue.cpp: the simulated spooler's side.
void ServeOnce(void);
void ServeFor(DWORD milliseconds);
BOOL QueueJob(void);
void EndJob(void);
BOOL InstallPrinter(const std::wstring& name);

// output.cpp
void Say(const WCHAR* format, ...);
void Complain(const WCHAR* format, ...);
void WriteText(const std::wstring& text);  // as it is, no prefix or line end
