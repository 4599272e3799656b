/* The plug-in contract of Qumble Player: the host a plug-in drives the player
 * through, the request numbers it sends and the records they take. Plain C,
 * compilable alone; every field is pointer-sized or a fixed-width integer so
 * the layout is the same for every compiler on a platform.
 *
 * Threads: a plug-in may send a request from any thread. The request runs on
 * the player's user-interface thread and the sender waits for its result, so
 * a plug-in must not send from a thread the user-interface thread is waiting
 * for (for example while its Quit or Stop entry is running). */
#ifndef QMB_PLUGIN_H
#define QMB_PLUGIN_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define QMB_PLUGIN_API_VERSION 1

/* clang-format off */
typedef struct QmbHost QmbHost;      /* what the tables call the main window */
struct QmbHost { intptr_t (*send)(QmbHost *host, uint32_t message, uintptr_t wParam, intptr_t lParam); };
#define QMB_WM_USER 0x0400           /* message for host requests: wParam = request, lParam = argument */
/* clang-format on */

/* Requests: send(host, QMB_WM_USER, request, argument). Only the low 16 bits
 * of wParam count. A text or value returned by pointer stays valid until the
 * next request of the same number; copy it. Any other number answers 0. */
#define QMB_REQ_VERSION 0              /* -> const char* version text "4.99" */
#define QMB_REQ_EXIT 1                 /* saves and ends the player; -> 1 */
#define QMB_REQ_PROGRAM_FOLDER 2       /* -> const char* program folder, ends in "/" */
#define QMB_REQ_LOAD_SKIN 3            /* lParam const char* folder -> 1 loaded, 0 not */
#define QMB_REQ_SKIN_STAGE_COUNT 4     /* -> number of expansion stages of the skin */
#define QMB_REQ_SET_SKIN_STAGE 5       /* lParam stage, negative for the next -> 1 */
#define QMB_REQ_SKIN_FOLDER 6          /* -> const char* current skin folder */
#define QMB_REQ_TOGGLE_INVERSION 7     /* -> 1 switched, 17 the skin refuses */
#define QMB_REQ_INPUT_COUNT 8          /* -> number of input plug-ins */
#define QMB_REQ_INPUT_DESCRIPTION 9    /* lParam row -> const char* description */
#define QMB_REQ_DSP_COUNT 10           /* -> number of DSP plug-ins */
#define QMB_REQ_DSP_DESCRIPTION 11     /* lParam row -> const char* description */
#define QMB_REQ_VISUAL_COUNT 12        /* -> number of visualization plug-ins */
#define QMB_REQ_VISUAL_DESCRIPTION 13  /* lParam row -> const char* description */
#define QMB_REQ_GENERAL_COUNT 14       /* -> number of general plug-ins */
#define QMB_REQ_GENERAL_DESCRIPTION 15 /* lParam row -> const char* description */
#define QMB_REQ_FILE_COUNT 16          /* -> number of file plug-ins */
#define QMB_REQ_FILE_DESCRIPTION 17    /* lParam row -> const char* description */
#define QMB_REQ_START_VISUAL 18        /* lParam row: select and start -> status */
#define QMB_REQ_START_DSP 19           /* lParam row: select and start -> status */
#define QMB_REQ_STOP_VISUAL 20         /* stops the running visualization -> status */
#define QMB_REQ_STOP_DSP 21            /* stops the running DSP plug-in -> status */
#define QMB_REQ_CONFIGURE_INPUT 22     /* lParam row: select and configure -> status */
#define QMB_REQ_CONFIGURE_DSP 23       /* lParam row: select and configure -> status */
#define QMB_REQ_CONFIGURE_VISUAL 24    /* lParam row: select and configure -> status */
#define QMB_REQ_CONFIGURE_GENERAL 25   /* lParam row: select and configure -> status */
#define QMB_REQ_CONFIGURE_FILE 26      /* lParam row: select and configure -> status */
#define QMB_REQ_ENTRY_COUNT 27         /* -> number of playlist entries */
#define QMB_REQ_SELECTED_COUNT 28      /* -> number of selected entries */
#define QMB_REQ_SET_CURSOR 29          /* lParam row: moves the playlist cursor -> 1 */
#define QMB_REQ_CURSOR 30              /* -> playlist cursor, -1 without one */
#define QMB_REQ_CURRENT_INDEX 31       /* -> index of the current entry */
#define QMB_REQ_GET_ITEM_STATE 32      /* lParam QmbItemState*: fills state -> 1 */
#define QMB_REQ_SET_ITEM_STATE 33      /* lParam QmbItemState*: sets the bits -> 1 */
#define QMB_REQ_ADD_ENTRY 34           /* lParam const char* path: appends it -> 1 */
#define QMB_REQ_GET_ENTRY 35           /* lParam QmbEntryFields*: fills text -> 1 */
#define QMB_REQ_SET_ENTRY 36           /* lParam QmbEntryFields*: sets fields -> 1, 0 refused */
#define QMB_REQ_DELETE_ENTRY 37        /* lParam row: deletes it -> 1 */
#define QMB_REQ_PLAYLIST_HANDLE 38     /* -> handle of the playlist view, 0 without one */
#define QMB_REQ_CUT 39                 /* cuts the selected entries -> status */
#define QMB_REQ_PASTE 40               /* pastes at the cursor -> status */
#define QMB_REQ_DELETE_ALL 41          /* deletes every entry -> 1 */
#define QMB_REQ_SET_AUTO_ADVANCE 42    /* lParam 0 or 1: advance at track end -> 1 */
#define QMB_REQ_PLAY_PATH 43           /* lParam const char* path: plays it -> status */
#define QMB_REQ_STOP 44                /* lParam 1 also resets the random cycle -> 1 */
#define QMB_REQ_PLAY 45                /* lParam 0 resumes a pause, else plays the cursor -> 1 */
#define QMB_REQ_PAUSE 46               /* toggles the pause of what plays -> 1 */
#define QMB_REQ_PLAY_STATE 47          /* -> 1 stopped, 2 playing, 3 paused */
#define QMB_REQ_TIME 48                /* lParam 0 length ms, 1 position ms, 2/3 their texts */
#define QMB_REQ_SET_EQ_BAND 49         /* lParam band | value << 16 -> const float* previous */
#define QMB_REQ_EQ_BAND 50             /* lParam band -> const float* value */
#define QMB_REQ_SET_VOLUME 51          /* lParam 0..255 -> const float* previous */
#define QMB_REQ_VOLUME 52              /* -> const float* volume */
#define QMB_REQ_SET_BALANCE 53         /* lParam 0..255, 127 centre -> const float* previous */
#define QMB_REQ_BALANCE 54             /* -> const float* balance */
#define QMB_REQ_SEEK 55                /* lParam seconds -> const float* previous position */
#define QMB_REQ_RASTER_OP 56           /* -> the skin's drawing mode, plain or inverted copy */

/* Request 48's argument. */
#define QMB_TIME_LENGTH_MS 0
#define QMB_TIME_POSITION_MS 1
#define QMB_TIME_LENGTH_TEXT 2
#define QMB_TIME_POSITION_TEXT 3

/* Item state bits of requests 32 and 33. */
#define QMB_STATE_FOCUSED 0x1
#define QMB_STATE_SELECTED 0x2
#define QMB_STATE_CUT 0x4
#define QMB_STATE_DROPHILITED 0x8

/* Requests 32 and 33: one playlist row's state bits. 32 writes
 * (row's bits & mask) into state; 33 sets the bits under mask to state. */
typedef struct QmbItemState {
  int32_t row;
  int32_t mask;
  int32_t state;
} QmbItemState;

/* Entry fields by number: 0 title, 1 path, 2 length, 3 played this cycle,
 * 4 times played, 5 date added, 6 date played, 7 file size, 8 file type. */
#define QMB_ENTRY_FIELD_COUNT 9

/* Requests 35 and 36. 35 points text[0..8] at the row's fields (the player's
 * texts, valid until the next request 35). 36 with field -1 sets all nine
 * fields from text[], with 0..8 only that one; a null text leaves its field
 * alone. 36 answers 0 and changes nothing for a row outside the playlist or a
 * field outside -1..8. */
typedef struct QmbEntryFields {
  int32_t row;
  int32_t field; /* 35: reserved */
  char* text[QMB_ENTRY_FIELD_COUNT];
} QmbEntryFields;

#ifdef __cplusplus
}
#endif

#endif /* QMB_PLUGIN_H */
