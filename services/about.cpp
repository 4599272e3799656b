#include "services/about.h"

#include <sys/utsname.h>
#include <unistd.h>

#include "tags/number_text.h"

namespace qmb {

std::string AboutText(int processorCount, int processorType) {
  return std::string("Qumble Player") + " " + kProgramVersion +
         "\r\nA skinnable audio player by the Qumble Player developers" +
         "\r\nNumber of processors:\t" + NumberText(processorCount) + "\r\nProcessor Type:\t\t" +
         NumberText(processorType);
}

int ProcessorCount() {
  long count = sysconf(_SC_NPROCESSORS_ONLN);
  return count > 0 ? static_cast<int>(count) : 1;
}

int ProcessorTypeNumber() {
  utsname name{};
  if (uname(&name) != 0) return 0;
  std::string machine = name.machine;
  if (machine == "x86_64") return 8664;
  if (machine == "ia64") return 2200;
  if (machine == "i386") return 386;
  if (machine == "i486") return 486;
  if (machine == "i586" || machine == "i686") return 586;
  return 0;
}

}  // namespace qmb
