/* A test general plug-in that drives the player from a thread of its own,
 * through the host alone, as a third party's plug-in would. */
#include "probe.h"

static pthread_t driver;

static int32_t Init(QmbHost* host, void* library) {
  (void)library;
  probe.host = host;
  probe.initCalls++;
  return 0;
}
static void Quit(void) {
  LogExit(NAME);
}

static intptr_t Send(uintptr_t request, intptr_t argument) {
  return probe.host->send(probe.host, QMB_WM_USER, request, argument);
}

/* The player's menu commands, sent from a thread of the plug-in's own while
 * a playlist plays: each result is the host's answer, then what the player
 * reports after it. */
typedef struct CommandResults {
  intptr_t nextAnswer;
  intptr_t indexAfterNext;
  intptr_t pauseAnswer;
  intptr_t stateAfterPause;
  intptr_t randomAnswer;
  intptr_t loopAnswer;
  intptr_t unknownAnswer;
  volatile int done;
} CommandResults;

static CommandResults commandResults;

static intptr_t Command(uintptr_t id) {
  return probe.host->send(probe.host, QMB_WM_COMMAND, id, 0);
}

static void* SendCommands(void* unused) {
  (void)unused;
  Send(QMB_REQ_SET_CURSOR, 0);
  Send(QMB_REQ_PLAY, 1);
  commandResults.nextAnswer = Command(QMB_CMD_NEXT);
  commandResults.indexAfterNext = Send(QMB_REQ_CURRENT_INDEX, 0);
  commandResults.pauseAnswer = Command(QMB_CMD_PAUSE);
  commandResults.stateAfterPause = Send(QMB_REQ_PLAY_STATE, 0);
  commandResults.randomAnswer = Command(QMB_CMD_RANDOM);
  /* Only the low 16 bits name the command. */
  commandResults.loopAnswer = Command(0x30000 | QMB_CMD_LOOP);
  commandResults.unknownAnswer = Command(4242);
  commandResults.done = 1;
  return 0;
}

QMB_EXPORT CommandResults* qmb_test_commands(void) {
  commandResults.done = 0;
  pthread_create(&driver, 0, SendCommands, 0);
  return &commandResults;
}

QMB_EXPORT void qmb_test_join(void) {
  pthread_join(driver, 0);
}

#ifdef API_VERSION
QMB_EXPORT int32_t QmbPluginApiVersion(void) {
  return API_VERSION;
}
#endif

static QmbGeneralModule module = {NAME, Init, 0, Quit};

QMB_EXPORT QmbGeneralModule* GetQMBGeneralModule(void) {
  return &module;
}
