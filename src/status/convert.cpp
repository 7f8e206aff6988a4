// Texts of the shared record, multibyte in the current locale's code page, to UTF-16.
#include <wchar.h>
#include "connection/connection.h"
#include "status/status.h"

// The largest text field of the record; longer fields are read only this far.
enum { LARGEST_TEXT_FIELD = CB_DOCUMENT_NAME_SIZE };
// Terminators after the copied field: a converter that looks one byte past a
// lone lead byte still finds a NUL of ours.
enum { FIELD_PADDING = 2 };

static BOOL IsHighSurrogate(WCHAR c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

void ConvertBlockText(const BYTE* field, int fieldBytes, WCHAR* out, int maxChars) {
  out[0] = L'\0';
  if (!field || fieldBytes <= 0 || maxChars <= 0) return;
  if (fieldBytes > LARGEST_TEXT_FIELD) fieldBytes = LARGEST_TEXT_FIELD;

  // The other side may leave a field without its NUL: work on a terminated copy.
  char text[LARGEST_TEXT_FIELD + FIELD_PADDING] = {};
  CopyMemory(text, field, fieldBytes);

  WCHAR wide[LARGEST_TEXT_FIELD + 1];
  int length = 0;
  mbstate_t shift = {};
  for (int position = 0; position < fieldBytes;) {
    wchar_t c;
    size_t used = mbrtowc(&c, text + position, fieldBytes - position, &shift);
    if (used == 0) break;  // the NUL
    // An invalid sequence (-1), or a character cut off by the field's end (-2).
    if (used > (size_t)(fieldBytes - position)) return;
    wide[length++] = (WCHAR)c;
    position += (int)used;
  }

  if (length > maxChars) {
    length = maxChars;
    // Never keep half of a surrogate pair.
    if (IsHighSurrogate(wide[length - 1])) length--;
  }
  CopyMemory(out, wide, length * sizeof(WCHAR));
  out[length] = L'\0';
}
