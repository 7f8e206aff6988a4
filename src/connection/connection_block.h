/*
 * The connection block: the 2396-byte record that the status monitor and the
 * printer driver's language monitor share in named memory.
 *
 * Plain C, no dependencies, so the language monitor can include it as it is.
 * All integers are 32-bit little-endian; all texts are multibyte strings in the
 * system's ANSI code page and end with a NUL inside their field. Every access
 * to the shared memory holds the mapping mutex, briefly: the status monitor
 * only tries it, every 50 ms at most, and never waits in the kernel.
 * language-monitor.md, which ships beside this header, describes each side's duties.
 */
#ifndef KR470_CONNECTION_BLOCK_H
#define KR470_CONNECTION_BLOCK_H

#define CB_PRINTER_NAME       0     /* text, 512: printer name (window title) */
#define CB_PRINTER_NAME_SIZE  512
#define CB_STATUS_CODE        512   /* signed 32-bit: printer status code */
#define CB_USER_NAME          516   /* text, 256: user of the current job */
#define CB_USER_NAME_SIZE     256
#define CB_DOCUMENT_NAME      772   /* text, 1024: document of the current job, empty when none */
#define CB_DOCUMENT_NAME_SIZE 1024
#define CB_AUX_VALUE          1796  /* 32-bit, only initialised */
#define CB_AUX_NUMBER_TEXT    1800  /* text, 256: a decimal number, "5" */
#define CB_AUX_NUMBER_TEXT_SIZE 256
#define CB_DISPLAY_MODE       2056  /* 32-bit: 1 ends the status monitor, 2 at start */
#define CB_AUX_TEXT           2060  /* text, 256, only initialised */
#define CB_AUX_TEXT_SIZE      256
#define CB_MODEL_TEXT         2316  /* text, 64: model name of the window title */
#define CB_MODEL_TEXT_SIZE    64
#define CB_CANCEL_REQUEST     2380  /* 32-bit: 1 asks to cancel the current job */
#define CB_AUX_FLAG           2384  /* 32-bit, only initialised, 1 */
#define CB_WINDOW_LEFT        2388  /* signed 32-bit: left edge of the window, -900 at start */
#define CB_WINDOW_TOP         2392  /* signed 32-bit: top edge of the window, -900 at start */
#define CB_SIZE               2396

/* Initial values that the status monitor writes at start and on re-creation. */
#define CB_INITIAL_AUX_NUMBER_TEXT "5"
#define CB_INITIAL_DISPLAY_MODE    2
#define CB_INITIAL_AUX_FLAG        1
#define CB_INITIAL_WINDOW_POS      (-900)

/* displayMode values */
#define CB_DISPLAY_MODE_END        1
#define CB_DISPLAY_MODE_ERRORS     2

/* Names of the shared objects, by the driver the default printer uses. */
#define CB_KR470_MAPPING_NAME        "Global\\QATOLM Status Monitor Connection MapFile"
#define CB_KR470_MAPPING_MUTEX_NAME  "Global\\QATOLM Status Monitor Connection MapFile Mutex"
#define CB_KR470_DUMMY_DOCUMENT      "QATOLMWindow-Dummy"
#define CB_DUMMY_MAPPING_NAME        "Global\\QAxxLM Status Monitor Connection MapFile"
#define CB_DUMMY_MAPPING_MUTEX_NAME  "Global\\QAxxLM Status Monitor Connection MapFile Mutex"
#define CB_DUMMY_DUMMY_DOCUMENT      "QAxxLMWindow-Dummy"

/* The status inquiry job: datatype "RAW", the dummy document name, these many zero bytes. */
#define CB_INQUIRY_JOB_BYTES  15

#endif
