// Where the status window opens: the position in the shared record when enough
// of the window stays on the work area, else the centre of the work area.
#include "connection/connection.h"
#include "printers/printers.h"
#include "window/window.h"

// The sums are taken in 64 bits so that no coordinate can overflow them; the
// results are those of plain 32-bit arithmetic for every real screen.
static LONG Halve(LONGLONG sum) {
  return (LONG)(sum / 2);  // towards zero, as C++ division does
}

POINT CentredPosition(const RECT* workArea, int width, int height) {
  POINT position;
  position.x = Halve((LONGLONG)workArea->left + workArea->right - width);
  position.y = Halve((LONGLONG)workArea->top + workArea->bottom - height);
  // A work area smaller than the window shows the window's top left corner.
  if ((LONGLONG)workArea->right - workArea->left < width) position.x = workArea->left;
  if ((LONGLONG)workArea->bottom - workArea->top < height) position.y = workArea->top;
  return position;
}

BOOL StoredPositionAccepted(const RECT* workArea, int x, int y, int width, int height) {
  return x > (LONGLONG)workArea->left - width + PLACEMENT_MARGIN &&
         x < (LONGLONG)workArea->right - PLACEMENT_MARGIN &&
         y > (LONGLONG)workArea->top - height + PLACEMENT_MARGIN &&
         y < (LONGLONG)workArea->bottom - PLACEMENT_MARGIN;
}

static BOOL ReadWorkArea(RECT* workArea) {
  return SystemParametersInfoW(SPI_GETWORKAREA, 0, workArea, 0);
}

void CentreWindow(HWND window) {
  RECT bounds, workArea;
  if (!GetWindowRect(window, &bounds)) return;
  if (!ReadWorkArea(&workArea)) return;
  int width = bounds.right - bounds.left;
  int height = bounds.bottom - bounds.top;
  POINT position = CentredPosition(&workArea, width, height);
  MoveWindow(window, position.x, position.y, width, height, TRUE);
}

int RestoreWindowPosition(HWND window) {
  CopyBlockWait(privateCopy, sharedView, CB_SIZE, mappingMutexName);
  LONG x = privateCopy ? BlockLong(privateCopy, CB_WINDOW_LEFT) : CB_INITIAL_WINDOW_POS;
  LONG y = privateCopy ? BlockLong(privateCopy, CB_WINDOW_TOP) : CB_INITIAL_WINDOW_POS;
  RECT workArea, bounds;
  if (!ReadWorkArea(&workArea) || !GetWindowRect(window, &bounds)) {
    CentreWindow(window);
    return 0;
  }
  int width = bounds.right - bounds.left;
  int height = bounds.bottom - bounds.top;
  if (StoredPositionAccepted(&workArea, x, y, width, height)) MoveWindow(window, x, y, width, height, TRUE);
  else CentreWindow(window);
  return 1;
}
