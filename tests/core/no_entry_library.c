/* A shared library without the picture loader's entry point. */
int qmb_test_not_the_entry(void) {
  return 0;
}
