// Progress and error lines: to a console as UTF-16, to a pipe or file as UTF-8.
#include "lmsim.h"
#include <stdarg.h>
#include <stdio.h>

enum { LINE_UNITS = 2048 };

static void WriteUnits(HANDLE handle, const WCHAR* text, int units) {
  DWORD mode, done;
  if (GetConsoleMode(handle, &mode)) {
    WriteConsoleW(handle, text, units, &done, NULL);
    return;
  }
  int length = WideCharToMultiByte(CP_UTF8, 0, text, units, NULL, 0, NULL, NULL);
  if (length <= 0) return;
  std::string bytes(length, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, units, &bytes[0], length, NULL, NULL);
  WriteFile(handle, bytes.data(), length, &done, NULL);
}

void WriteText(const std::wstring& text) {
  WriteUnits(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), (int)text.size());
}

static void WriteLine(DWORD handleId, const WCHAR* prefix, const WCHAR* format, va_list arguments) {
  WCHAR line[LINE_UNITS];
  int used = _snwprintf(line, LINE_UNITS, L"%ls", prefix);
  int room = LINE_UNITS - used - 2;
  int written = _vsnwprintf(line + used, room, format, arguments);
  used += (written < 0 || written >= room) ? room - 1 : written;
  line[used++] = L'\n';
  line[used] = L'\0';

  WriteUnits(GetStdHandle(handleId), line, used);
}

void Say(const WCHAR* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  WriteLine(STD_OUTPUT_HANDLE, L"lmsim: ", format, arguments);
  va_end(arguments);
}

void Complain(const WCHAR* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  WriteLine(STD_ERROR_HANDLE, L"lmsim: error: ", format, arguments);
  va_end(arguments);
}
