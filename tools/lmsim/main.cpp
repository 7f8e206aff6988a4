// Entry of lmsim: reads the options and scripts, checks all of them, then
// opens the record and plays the commands.
#include "lmsim.h"

enum { SLOT_KR470 = 5, SLOT_DUMMY = 1 };

static BOOL IsOption(const WCHAR* argument, const WCHAR* name) {
  return lstrcmpW(argument, name) == 0;
}

static BOOL IsDuration(const WCHAR* text) {
  if (!*text) return FALSE;
  for (; *text; text++)
    if (*text < L'0' || *text > L'9') return FALSE;
  return TRUE;
}

int wmain(int argc, WCHAR** argv) {
  std::vector<Step> steps;
  BOOL valid = TRUE;
  for (int i = 1; i < argc; i++) {
    const WCHAR* argument = argv[i];
    const WCHAR* next = i + 1 < argc ? argv[i + 1] : NULL;
    if (IsOption(argument, L"--help") || IsOption(argument, L"-h") || IsOption(argument, L"/?")) {
      PrintHelp();
      return EXIT_DONE;
    }
    if (IsOption(argument, L"--slot") || IsOption(argument, L"-c")) {
      if (!next) {
        Complain(L"%ls needs a value", argument);
        return EXIT_USAGE;
      }
      i++;
      if (IsOption(argument, L"-c")) {
        valid = ParseCommandLine(next, L"-c", &steps) && valid;
      } else if (IsOption(next, L"5") || IsOption(next, L"1")) {
        simSlot = IsOption(next, L"5") ? SLOT_KR470 : SLOT_DUMMY;
      } else {
        Complain(L"--slot takes 5 or 1, not %ls", next);
        valid = FALSE;
      }
      continue;
    }
    if (argument[0] == L'-' && argument[1] == L'-') {
      const CommandInfo* info = FindCommand(argument + 2);
      if (!info) {
        Complain(L"unknown option %ls (see --help)", argument);
        valid = FALSE;
        continue;
      }
      BOOL takesValue = info->argument != ARG_NONE &&
                        (info->argument != ARG_OPTIONAL_DURATION || (next && IsDuration(next)));
      if (takesValue && !next) {
        Complain(L"%ls needs a value", argument);
        return EXIT_USAGE;
      }
      if (takesValue) i++;
      valid = ParseArgument(info, takesValue ? next : L"", argument, &steps) && valid;
      continue;
    }
    if (argument[0] == L'-' && argument[1] != L'\0') {
      Complain(L"unknown option %ls (see --help)", argument);
      valid = FALSE;
      continue;
    }
    valid = LoadScript(argument, &steps) && valid;
  }
  if (!valid) return EXIT_USAGE;
  if (steps.empty()) {
    Complain(L"nothing to do; usage: lmsim [--slot 5|1] [OPTIONS...] [SCRIPT|-] (see --help)");
    return EXIT_USAGE;
  }

  simPrinter.answerMode = ANSWER_CURRENT;
  simPrinter.cancelHonoured = TRUE;
  if (!OpenRecord()) return EXIT_FAILED;
  int result = RunSteps(steps);
  CloseRecord();
  return result;
}
