// The script language: the command table, parsing of lines and files, and the
// help text that is built from the same table.
#include "lmsim.h"
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <wchar.h>

const CommandInfo commandTable[] = {
  {L"printer", CMD_PRINTER, ARG_TEXT, L"printer NAME",
   L"Write printerName (the window title). NAME also picks the simulated queue that `job`\n"
   L"uses; without it, the default printer of the profile."},
  {L"model", CMD_MODEL, ARG_TEXT, L"model TEXT", L"Write modelText (the window title after the name)."},
  {L"status", CMD_STATUS, ARG_NUMBER, L"status CODE",
   L"The printer's state becomes CODE: written into statusCode, and given as the answer\n"
   L"to status inquiries from now on (see `answer`). E.g. 0 ready, 2 printing, 302 paper out."},
  {L"user", CMD_USER, ARG_TEXT, L"user [TEXT]", L"Write userName; without TEXT, empty it."},
  {L"document", CMD_DOCUMENT, ARG_TEXT, L"document [TEXT]", L"Write documentName; without TEXT, empty it."},
  {L"job", CMD_JOB, ARG_NONE, L"job",
   L"Put a print job of the current user and document into the simulated queue, as a\n"
   L"job in progress. A cancel request removes it; so does `end-job`."},
  {L"end-job", CMD_END_JOB, ARG_NONE, L"end-job",
   L"The job is done: remove it from the queue and empty userName and documentName."},
  {L"display-mode", CMD_DISPLAY_MODE, ARG_NUMBER, L"display-mode N",
   L"Write displayMode. 1 makes the status monitor end at its next refresh."},
  {L"cancel-request", CMD_CANCEL_REQUEST, ARG_NUMBER, L"cancel-request N",
   L"Write cancelRequest (normally only the status monitor sets it)."},
  {L"answer", CMD_ANSWER, ARG_ANSWER, L"answer current|off|CODE",
   L"How status inquiries (the dummy RAW job) are answered: with the printer's current\n"
   L"status (the default), with CODE, or not at all (the job stays queued, the status\n"
   L"monitor keeps showing 100)."},
  {L"answer-delay", CMD_ANSWER_DELAY, ARG_DURATION, L"answer-delay MS",
   L"Answer an inquiry MS milliseconds after its job has been spooled (default 0)."},
  {L"cancel", CMD_CANCEL, ARG_SWITCH, L"cancel on|off",
   L"Whether cancel requests are honoured (default on): empty documentName and\n"
   L"userName, reset cancelRequest to 0, remove the job from the queue."},
  {L"hold", CMD_HOLD, ARG_DURATION, L"hold MS",
   L"Hold the record's mutex for MS milliseconds, serving nothing meanwhile."},
  {L"wait", CMD_WAIT, ARG_DURATION, L"wait MS", L"Let MS milliseconds pass, serving inquiries and cancel requests."},
  {L"wait-monitor", CMD_WAIT_MONITOR, ARG_OPTIONAL_DURATION, L"wait-monitor [MS]",
   L"Wait (at most MS, default 10000) until a status monitor runs and has initialised\n"
   L"the record (displayMode 2), then write again what the script has set so far:\n"
   L"printer, model, status, user, document. Fails when the time runs out."},
  {L"serve", CMD_SERVE, ARG_OPTIONAL_DURATION, L"serve [MS]",
   L"Serve inquiries and cancel requests until the status monitor has ended (at most\n"
   L"MS milliseconds when given)."},
  {L"loop", CMD_LOOP, ARG_NONE, L"loop", L"Start again from the first command (end with Ctrl+C)."},
  {L"install", CMD_INSTALL, ARG_TEXT, L"install NAME",
   L"Add printer NAME to the simulated spooler (the slot's driver, port USB001,\n"
   L"bidirectional support on) and make it the default printer of the profile."},
  {L"echo", CMD_ECHO, ARG_TEXT, L"echo TEXT", L"Print TEXT."},
  {L"dump", CMD_DUMP, ARG_NONE, L"dump", L"Print the record's fields."},
};
const int commandCount = sizeof commandTable / sizeof commandTable[0];

const CommandInfo* FindCommand(const WCHAR* name) {
  for (int i = 0; i < commandCount; i++)
    if (lstrcmpW(commandTable[i].name, name) == 0) return &commandTable[i];
  return NULL;
}

static std::wstring Trim(const std::wstring& text) {
  const WCHAR* blanks = L" \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::wstring::npos) return L"";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

static BOOL ParseNumber(const std::wstring& text, LONG* value) {
  if (text.empty()) return FALSE;
  WCHAR* end;
  errno = 0;
  long long number = wcstoll(text.c_str(), &end, 10);
  if (*end || errno || number < LONG_MIN || number > LONG_MAX) return FALSE;
  *value = (LONG)number;
  return TRUE;
}

BOOL ParseArgument(const CommandInfo* info, const std::wstring& rawArgument, const std::wstring& origin,
                   std::vector<Step>* steps) {
  Step step = {info->command, 0, FALSE, L"", origin};
  std::wstring argument = Trim(rawArgument);
  BOOL valid = TRUE;
  switch (info->argument) {
    case ARG_NONE:
      valid = argument.empty();
      break;
    case ARG_TEXT:
      // Quotes keep leading and trailing blanks; they are not needed otherwise.
      if (argument.size() >= 2 && argument.front() == L'"' && argument.back() == L'"')
        argument = argument.substr(1, argument.size() - 2);
      step.text = argument;
      break;
    case ARG_NUMBER:
      valid = step.hasNumber = ParseNumber(argument, &step.number);
      break;
    case ARG_OPTIONAL_DURATION:
      if (argument.empty()) break;
      // fall through
    case ARG_DURATION:
      valid = step.hasNumber = ParseNumber(argument, &step.number) && step.number >= 0;
      break;
    case ARG_ANSWER:
      step.text = argument;
      step.hasNumber = ParseNumber(argument, &step.number);
      valid = step.hasNumber || argument == L"current" || argument == L"off";
      break;
    case ARG_SWITCH:
      step.text = argument;
      valid = argument == L"on" || argument == L"off";
      break;
  }
  if (!valid) {
    Complain(L"%ls: bad argument \"%ls\"; usage: %ls", origin.c_str(), argument.c_str(), info->synopsis);
    return FALSE;
  }
  steps->push_back(step);
  return TRUE;
}

// One line: blank lines and lines starting with # say nothing.
BOOL ParseCommandLine(const std::wstring& rawLine, const std::wstring& origin, std::vector<Step>* steps) {
  std::wstring line = Trim(rawLine);
  if (line.empty() || line[0] == L'#') return TRUE;
  size_t blank = line.find_first_of(L" \t");
  std::wstring name = line.substr(0, blank);
  const CommandInfo* info = FindCommand(name.c_str());
  if (!info) {
    Complain(L"%ls: unknown command \"%ls\" (see --help)", origin.c_str(), name.c_str());
    return FALSE;
  }
  return ParseArgument(info, blank == std::wstring::npos ? L"" : line.substr(blank), origin, steps);
}

// A script file in UTF-8 (a byte-order mark is allowed) or, failing that, in
// the ANSI code page; "-" reads standard input.
BOOL LoadScript(const WCHAR* path, std::vector<Step>* steps) {
  BOOL fromInput = lstrcmpW(path, L"-") == 0;
  HANDLE file = fromInput ? GetStdHandle(STD_INPUT_HANDLE)
                          : CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  if (file == INVALID_HANDLE_VALUE || !file) {
    Complain(L"cannot open the script %ls (error %lu)", path, GetLastError());
    return FALSE;
  }
  std::string bytes;
  char buffer[4096];
  DWORD got;
  while (ReadFile(file, buffer, sizeof buffer, &got, NULL) && got) bytes.append(buffer, got);
  if (!fromInput) CloseHandle(file);

  const char byteOrderMark[] = "\xEF\xBB\xBF";
  if (bytes.compare(0, 3, byteOrderMark) == 0) bytes.erase(0, 3);
  UINT codePage = CP_UTF8;
  int units = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), (int)bytes.size(), NULL, 0);
  if (units == 0 && !bytes.empty()) {
    codePage = CP_ACP;
    units = MultiByteToWideChar(codePage, 0, bytes.data(), (int)bytes.size(), NULL, 0);
  }
  std::wstring text(units, L'\0');
  if (units) MultiByteToWideChar(codePage, 0, bytes.data(), (int)bytes.size(), &text[0], units);

  BOOL valid = TRUE;
  size_t start = 0;
  for (int number = 1; start <= text.size(); number++) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    WCHAR origin[MAX_PATH + 16];
    _snwprintf(origin, MAX_PATH + 16, L"%ls:%d", path, number);
    origin[MAX_PATH + 15] = L'\0';
    valid = ParseCommandLine(text.substr(start, end - start), origin, steps) && valid;
    start = end + 1;
  }
  return valid;
}

void PrintHelp(void) {
  std::wstring help =
    L"lmsim - plays the language monitor's side of the KR-470 status monitor's connection\n"
    L"\n"
    L"usage: lmsim [--slot 5|1] [OPTIONS...] [SCRIPT|-]\n"
    L"\n"
    L"It opens the shared record (the connection block) by the names of model slot 5\n"
    L"(driver \"NRV KR-470 Raster\", the default) or 1 (\"NRV KR-Dmy Raster\"), creating it\n"
    L"if the status monitor has not yet, and touches it only while it holds the record's\n"
    L"mutex, briefly. Texts are written in the ANSI code page and cut to their field's\n"
    L"size minus one byte, never inside a double-byte character. While it waits it does\n"
    L"what a language monitor must: it answers status inquiries (a RAW job named\n"
    L"QATOLMWindow-Dummy, or QAxxLMWindow-Dummy for slot 1, in the simulated spooler's\n"
    L"queue) by writing the printer's status and removing the job, and it honours\n"
    L"cancelRequest.\n"
    L"\n"
    L"Options, run in the order given:\n"
    L"  --slot 5|1        names of the record, the queue's dummy document and the driver\n"
    L"  -c \"COMMAND\"      run one command line, as in a script\n"
    L"  --COMMAND [ARG]   the same as -c \"COMMAND ARG\"; e.g. --status 302, --user 山田\n"
    L"                    (a command whose time is optional takes the next argument\n"
    L"                    when it is a number: --serve 15000, --wait-monitor)\n"
    L"  SCRIPT            run the commands of the file SCRIPT (UTF-8), \"-\" for standard input\n"
    L"  --help            this text\n"
    L"Everything is checked before anything runs.\n"
    L"\n"
    L"Script: one command per line; blank lines and lines starting with # are skipped;\n"
    L"a text is the rest of the line (put it in \"...\" to keep blanks at its ends).\n"
    L"\n"
    L"Commands:\n";
  for (int i = 0; i < commandCount; i++) {
    help += L"  ";
    help += commandTable[i].synopsis;
    help += L"\n";
    std::wstring description = commandTable[i].description;
    size_t start = 0;
    while (start < description.size()) {
      size_t end = description.find(L'\n', start);
      if (end == std::wstring::npos) end = description.size();
      help += L"      " + description.substr(start, end - start) + L"\n";
      start = end + 1;
    }
  }
  help +=
    L"\n"
    L"Example (tour.txt):\n"
    L"  install KR-470\n"
    L"  printer KR-470\n"
    L"  model KR-470\n"
    L"  wait-monitor\n"
    L"  status 0\n"
    L"  wait 2000\n"
    L"  user 山田\n"
    L"  document 出荷ラベル.pdf\n"
    L"  job\n"
    L"  status 2\n"
    L"  wait 3000\n"
    L"  status 302\n"
    L"  wait 3000\n"
    L"  end-job\n"
    L"  status 0\n"
    L"  serve\n"
    L"\n"
    L"Exit codes: 0 done; 1 the record could not be opened, its mutex stayed busy for\n"
    L"5 s, a queue operation failed or wait-monitor timed out; 2 bad command line or script.\n";
  WriteText(help);
}
