// Priorities as the system sees them: each case runs in a child process, so
// the test runner keeps its own priority, and `ps` reads the result.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <thread>

#include "command_output.h"
#include "scripted_desktop.h"
#include "services/priorities.h"

namespace qmb::test {
namespace {

// Runs `body` in a child; its text comes back through a pipe.
std::string InChild(const std::function<std::string()>& body) {
  int result[2];
  if (pipe(result) != 0) return "pipe failed";
  pid_t pid = fork();
  if (pid == 0) {
    close(result[0]);
    std::string text = body();
    ssize_t ignored = write(result[1], text.data(), text.size());
    static_cast<void>(ignored);
    _exit(0);
  }
  close(result[1]);
  std::string text;
  char buffer[512];
  for (ssize_t n; (n = read(result[0], buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(n));
  close(result[0]);
  waitpid(pid, nullptr, 0);
  return text;
}

TEST(Priorities, IdleClassMakesEveryThreadOfTheProcessNice) {
  std::string result = InChild([] {
    // A second thread, as the sound engine has, waits while the class changes.
    std::thread([] {
      for (;;) pause();
    }).detach();
    EditModel threadName, className;
    PriorityControl priorities(threadName, className);
    priorities.ApplyClassStep(1);
    return className.Text() + "|" + threadName.Text() + "|" +
           Output("ps -L -o ni= -p " + std::to_string(getpid()));
  });
  EXPECT_EQ(result, "Idle|Normal| 19\n 19");
}

TEST(Priorities, ARefusalShowsTheSystemsReasonAndTheCaptionWhatIsInForce) {
  std::string result = InChild([] {
    // No right to raise priority: no nice allowance, and no root.
    rlimit none{0, 0};
    setrlimit(RLIMIT_NICE, &none);
    setrlimit(RLIMIT_RTPRIO, &none);
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return std::string("setuid");
    ScriptedDesktop desktop;
    EditModel threadName, className;
    PriorityControl priorities(threadName, className);
    priorities.ShowInForce();
    priorities.ApplyThreadStep(6);
    priorities.ApplyClassStep(2);
    std::string texts;
    for (const ShownMessage& m : desktop.messages) texts += m.caption + ":" + m.text + "|";
    return texts + threadName.Text() + "|" + className.Text();
  });
  EXPECT_EQ(result,
            "Error:Error setting thread priority. Permission denied|"
            "Error:Error setting priority class. Permission denied|Normal|Normal");
}

}  // namespace
}  // namespace qmb::test
