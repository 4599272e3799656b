#include "source_test_util.h"
