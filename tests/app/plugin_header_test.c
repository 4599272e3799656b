/* The plug-in header as a plug-in written in C includes it: alone, with no
 * other header first, and with the record layouts plug-ins were built for. */
#include "qmb_plugin.h"

#include <stddef.h>

_Static_assert(sizeof(QmbHost) == sizeof(void*), "the host is one function pointer");
_Static_assert(sizeof(QmbItemState) == 12, "three int32 fields");
_Static_assert(offsetof(QmbEntryFields, text) == 8, "texts follow two int32 fields");
_Static_assert(sizeof(QmbEntryFields) == 8 + 9 * sizeof(char*), "nine text pointers");
_Static_assert(QMB_WM_USER == 0x400, "the request message");
_Static_assert(sizeof(QmbInputModule) == 25 * sizeof(void*), "25 pointer-sized fields");
_Static_assert(offsetof(QmbInputModule, Init) == 7 * sizeof(void*), "Init is field 7");
_Static_assert(offsetof(QmbInputModule, SetVolume) == 15 * sizeof(void*), "SetVolume is field 15");
_Static_assert(offsetof(QmbInputModule, GetStreamInfo) == 24 * sizeof(void*), "last field 24");
_Static_assert(sizeof(QmbDspModule) == 5 * sizeof(void*), "five fields");
_Static_assert(sizeof(QmbVisualModule) == 5 * sizeof(void*), "five fields");
_Static_assert(sizeof(QmbGeneralModule) == 4 * sizeof(void*), "four fields");
_Static_assert(sizeof(QmbFileModule) == 8 * sizeof(void*), "eight fields");
_Static_assert(offsetof(QmbFileModule, ReadTag) == 7 * sizeof(void*), "ReadTag is field 7");
_Static_assert(sizeof(QmbTagRecord) == 1100, "eleven 100-byte texts");
_Static_assert(sizeof(QmbStreamInfo) == 16, "four int32 fields");
_Static_assert(QMB_REQ_RASTER_OP == 56, "requests 0 to 56");
_Static_assert(QMB_REQ_OPEN == 62, "1.02 adds requests 57 to 62");
_Static_assert(offsetof(QmbTagQuery, record) == sizeof(char*), "the record follows the path");

static intptr_t Answer(QmbHost* host, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  (void)host;
  return message == QMB_WM_USER ? (intptr_t)wParam + lParam : 0;
}

int main(void) {
  QmbHost host = {Answer};
  return host.send(&host, QMB_WM_USER, QMB_REQ_ENTRY_COUNT, 1) == 28 ? 0 : 1;
}
