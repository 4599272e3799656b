#include "services/priorities.h"

#include <dirent.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "core/desktop.h"
#include "core/status_codes.h"

namespace qmb {

const std::array<const char*, 7> kThreadPriorityNames = {
    "Idle", "Lowest", "Below Normal", "Normal", "Above Normal", "Highest", "Time Critical"};
const std::array<const char*, 4> kClassPriorityNames = {"Normal", "Idle", "High", "Real Time"};

namespace {

constexpr int kNiceMin = -20;
constexpr int kNiceMax = 19;
constexpr int kRealTimeBase = 10;

bool RealTime(int policy) {
  return policy == SCHED_RR || policy == SCHED_FIFO;
}

// 0, or the errno of the refusal.
int SetScheduling(pid_t tid, const Scheduling& target) {
  if (RealTime(target.policy)) {
    sched_param param{};
    param.sched_priority = target.value;
    return sched_setscheduler(tid, target.policy, &param) == 0 ? 0 : errno;
  }
  int current = sched_getscheduler(tid);
  if (current < 0) return errno;
  if ((current & ~SCHED_RESET_ON_FORK) != target.policy) {
    sched_param param{};
    if (sched_setscheduler(tid, target.policy, &param) != 0) return errno;
  }
  return setpriority(PRIO_PROCESS, static_cast<id_t>(tid), target.value) == 0 ? 0 : errno;
}

void ShowRefusal(const char* what, int error) {
  TheDesktop().ShowMessage(std::string(what) + SystemErrorText(error), "Error", MessageIcon::Error,
                           MessageButtons::Ok);
}

}  // namespace

Scheduling ClassScheduling(int step) {
  switch (step) {
    case 1:
      return {SCHED_OTHER, kNiceMax};
    case 2:
      return {SCHED_OTHER, -10};
    case 3:
      return {SCHED_RR, kRealTimeBase};
    default:
      return {SCHED_OTHER, 0};
  }
}

Scheduling ThreadScheduling(int step, const Scheduling& base) {
  if (RealTime(base.policy)) {
    int top = sched_get_priority_max(base.policy);
    static constexpr std::array<int, 5> kOffsets = {-2, -1, 0, 1, 2};
    if (step <= 0) return {base.policy, 1};
    if (step >= 6) return {base.policy, top};
    return {base.policy, std::clamp(base.value + kOffsets[step - 1], 1, top)};
  }
  // Higher nice values run less.
  static constexpr std::array<int, 5> kOffsets = {10, 5, 0, -5, -10};
  if (step <= 0) return {SCHED_IDLE, base.value};
  if (step >= 6) return {SCHED_OTHER, kNiceMin};
  return {SCHED_OTHER, std::clamp(base.value + kOffsets[step - 1], kNiceMin, kNiceMax)};
}

bool ReadScheduling(pid_t tid, Scheduling& out) {
  int policy = sched_getscheduler(tid);
  if (policy < 0) return false;
  out.policy = policy & ~SCHED_RESET_ON_FORK;
  if (RealTime(out.policy)) {
    sched_param param{};
    if (sched_getparam(tid, &param) != 0) return false;
    out.value = param.sched_priority;
    return true;
  }
  errno = 0;
  int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
  if (nice == -1 && errno != 0) return false;
  out.value = nice;
  return true;
}

PriorityControl::PriorityControl(EditModel& threadCaption, EditModel& classCaption)
    : threadCaption_(threadCaption), classCaption_(classCaption), uiThread_(gettid()) {
  ReadScheduling(uiThread_, base_);
}

void PriorityControl::ApplyClassStep(int step) {
  Scheduling target = ClassScheduling(step);
  // The user-interface thread first: when the system refuses, nothing changed.
  if (int error = SetScheduling(uiThread_, target)) {
    ShowRefusal("Error setting priority class. ", error);
  } else {
    ReadScheduling(uiThread_, base_);
    if (DIR* tasks = opendir("/proc/self/task")) {
      while (dirent* entry = readdir(tasks)) {
        pid_t tid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (tid > 0 && tid != uiThread_) SetScheduling(tid, target);
      }
      closedir(tasks);
    }
    if (threadStep_ != 3) ApplyThreadStep(threadStep_);
  }
  ShowInForce();
}

void PriorityControl::ShowInForce() {
  ShowClassInForce();
  ShowThreadInForce(threadStep_);
}

void PriorityControl::ShowClassInForce() {
  std::string name;
  for (int i = 0; i < static_cast<int>(kClassPriorityNames.size()); ++i) {
    if (ClassScheduling(i) == base_) name = kClassPriorityNames[static_cast<std::size_t>(i)];
  }
  classCaption_.SetText(name);
}

void PriorityControl::ApplyThreadStep(int step) {
  threadStep_ = step;
  if (int error = SetScheduling(uiThread_, ThreadScheduling(step, base_))) {
    ShowRefusal("Error setting thread priority. ", error);
  }
  ShowThreadInForce(step);
}

void PriorityControl::ShowThreadInForce(int requested) {
  Scheduling now;
  std::string name;
  if (ReadScheduling(uiThread_, now)) {
    // Clamped steps can coincide; the one asked for names them.
    int found = -1;
    for (int i = 0; i < static_cast<int>(kThreadPriorityNames.size()); ++i) {
      if (ThreadScheduling(i, base_) == now && (found < 0 || i == requested)) found = i;
    }
    if (found >= 0) name = kThreadPriorityNames[static_cast<std::size_t>(found)];
  }
  threadCaption_.SetText(name);
}

}  // namespace qmb
