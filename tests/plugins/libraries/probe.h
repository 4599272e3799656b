/* What the test plug-ins record, read by the tests through the exported
 * qmb_test_probe() of each library. */
#ifndef QMB_TEST_PROBE_H
#define QMB_TEST_PROBE_H

#include <fcntl.h>
#include <pthread.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "qmb_plugin.h"

typedef struct TestProbe {
  int initCalls;
  int startCalls;
  int stopCalls;
  int configureCalls;
  int openCalls;
  int playCalls;
  int lastPause;
  int seekMs;
  int setEqCalls;
  int lastEqBand;
  int lastEqValue;
  int lastVolume;
  /* Counted on the engine's threads: read and write them atomically. */
  int samplesGiven;
  int processCalls;
  int processOnInitThread;
  int renderCalls;
  int renderAnswer; /* what Render answers; the test sets it */
  int startAnswer;  /* what Start answers */
  int propertiesCalls;
  char lastPath[1024];
  QmbHost* host;
  pthread_t initThread;
} TestProbe;

#ifndef QMB_TEST_PROBE_TYPE_ONLY
static TestProbe probe;

static inline int CountUp(int* counter) {
  return __atomic_fetch_add(counter, 1, __ATOMIC_SEQ_CST);
}

QMB_EXPORT TestProbe* qmb_test_probe(void) {
  return &probe;
}

/* The exit entries write the library's name to the file named by
 * QMB_TEST_EXIT_LOG, so a test sees their order across libraries. */
static inline void LogExit(const char* name) {
  const char* log = getenv("QMB_TEST_EXIT_LOG");
  if (!log) return;
  int fd = open(log, O_WRONLY | O_APPEND | O_CREAT, 0600);
  if (fd < 0) return;
  if (write(fd, name, strlen(name)) < 0 || write(fd, "\n", 1) < 0) {
  }
  close(fd);
}

static inline void RememberPath(const char* path) {
  strncpy(probe.lastPath, path ? path : "", sizeof(probe.lastPath) - 1);
}

#endif /* QMB_TEST_PROBE_TYPE_ONLY */

#endif
