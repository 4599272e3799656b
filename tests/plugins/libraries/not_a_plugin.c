/* A library with no plug-in entry point. */
int qmb_test_nothing_here(void) {
  return 0;
}
