/* A test file plug-in: tags made from the file's name. */
#include <stdio.h>

#include "probe.h"

static QmbTagRecord record;

static int32_t Init(QmbHost* host, void* library) {
  (void)library;
  probe.host = host;
  probe.initCalls++;
  return INIT_RESULT;
}
__attribute__((unused)) static void Properties(const char* path) {
  probe.propertiesCalls++;
  RememberPath(path);
}
static void Quit(void) {
  LogExit(NAME);
}
static QmbTagRecord* ReadTag(const char* path) {
  if (strstr(path, "untagged")) return 0;
  memset(&record, 0, sizeof(record));
  snprintf(record.artist, sizeof(record.artist), "%s", NAME);
  const char* slash = strrchr(path, '/');
  snprintf(record.songName, sizeof(record.songName), "%s", slash ? slash + 1 : path);
  /* No terminator: the player must still stop at 100 bytes. */
  memset(record.comment, 'c', sizeof(record.comment));
  snprintf(record.length, sizeof(record.length), "%d", 61000);
  return &record;
}

static QmbFileModule module = {NAME, EXTENSIONS, "", Init, PROPERTIES, 0, Quit, ReadTag};

QMB_EXPORT QmbFileModule* GetQMBFileModule(void) {
  return &module;
}
