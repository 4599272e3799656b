/* A general plug-in for the process tests, dropped into the player's
 * Plugins/ folder: once the playlist handed over on the command line is in
 * (QMB_TEST_PROBE_ENTRIES rows), it presses Play as a user would and then
 * writes, every few milliseconds, what the player tells a listener: the
 * monotonic clock in milliseconds, the current entry, the play state, the
 * position and the length in ms, one line each, to QMB_TEST_PROBE_LOG. It
 * asks only through the host, from its own thread. */
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include "qmb_plugin.h"

static QmbHost* host;
static pthread_t watcher;
static volatile int quitting;

static intptr_t Send(uintptr_t request, intptr_t argument) {
  return host->send(host, QMB_WM_USER, request, argument);
}

static long long NowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

static void* Watch(void* unused) {
  (void)unused;
  const char* path = getenv("QMB_TEST_PROBE_LOG");
  const char* entries = getenv("QMB_TEST_PROBE_ENTRIES");
  FILE* log = path ? fopen(path, "w") : NULL;
  if (!log) return NULL;
  intptr_t want = entries ? atoi(entries) : 1;
  while (!quitting && Send(QMB_REQ_ENTRY_COUNT, 0) < want) usleep(10 * 1000);
  Send(QMB_REQ_SET_CURSOR, 0);
  fprintf(log, "play %lld\n", NowMs());
  fflush(log);
  Send(QMB_REQ_PLAY, 1);
  while (!quitting) {
    /* Each request runs on its own, so a track may change between them: a
     * look counts only when the track was the same before and after. */
    long long now = NowMs();
    intptr_t index = Send(QMB_REQ_CURRENT_INDEX, 0);
    intptr_t length = Send(QMB_REQ_TIME, QMB_TIME_LENGTH_MS);
    intptr_t position = Send(QMB_REQ_TIME, QMB_TIME_POSITION_MS);
    intptr_t state = Send(QMB_REQ_PLAY_STATE, 0);
    if (Send(QMB_REQ_CURRENT_INDEX, 0) != index ||
        Send(QMB_REQ_TIME, QMB_TIME_LENGTH_MS) != length ||
        Send(QMB_REQ_TIME, QMB_TIME_POSITION_MS) < position)
      continue;
    fprintf(log, "%lld %ld %ld %ld %ld\n", now, (long)index, (long)state, (long)position,
            (long)length);
    fflush(log);
    usleep(5 * 1000);
  }
  fclose(log);
  return NULL;
}

static int32_t Init(QmbHost* h, void* library) {
  (void)library;
  host = h;
  pthread_create(&watcher, NULL, Watch, NULL);
  pthread_detach(watcher);
  return 0;
}

/* The watcher may be waiting for the user-interface thread, which runs this:
 * it is told to end, not waited for. */
static void Quit(void) {
  quitting = 1;
}

static QmbGeneralModule module = {"Position probe", Init, NULL, Quit};

QMB_EXPORT QmbGeneralModule* GetQMBGeneralModule(void) {
  return &module;
}
