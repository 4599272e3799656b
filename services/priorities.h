// Process and thread priority on Linux. The four class steps set the nice
// value (or the real-time policy) of every thread of the process; the seven
// thread steps move the user-interface thread around that class: nice
// offsets, SCHED_IDLE for "Idle", nice -20 for "Time Critical" (real-time
// priorities under the "Real Time" class). After each change the values in
// force are read back from the system and named in the captions.
#pragma once

#include <sys/types.h>

#include <array>

#include "core/control_models.h"

namespace qmb {

extern const std::array<const char*, 7> kThreadPriorityNames;
extern const std::array<const char*, 4> kClassPriorityNames;

// A thread's scheduling as the system reports it: the policy and either
// its nice value or, for the real-time policies, its real-time priority.
struct Scheduling {
  int policy = 0;
  int value = 0;
  bool operator==(const Scheduling&) const = default;
};

// What a class step asks for.
Scheduling ClassScheduling(int step);
// What a thread step asks for on top of the class in force.
Scheduling ThreadScheduling(int step, const Scheduling& base);

// The scheduling of thread `tid` as the system reports it; false when it
// cannot be read.
bool ReadScheduling(pid_t tid, Scheduling& out);

class PriorityControl {
 public:
  // Constructed on the user-interface thread, whose priority the thread
  // steps set.
  PriorityControl(EditModel& threadCaption, EditModel& classCaption);

  // Sets every thread of the process to the class, then the user-interface
  // thread to its step again on top of it. A refusal shows "Error setting
  // priority class. " and the system's reason.
  void ApplyClassStep(int step);
  // A refusal shows "Error setting thread priority. " and the reason.
  void ApplyThreadStep(int step);
  // Names what is in force now without changing it.
  void ShowInForce();

 private:
  void ShowThreadInForce(int requested);
  void ShowClassInForce();

  EditModel& threadCaption_;
  EditModel& classCaption_;
  pid_t uiThread_;
  Scheduling base_;
  int threadStep_ = 3;
};

}  // namespace qmb
