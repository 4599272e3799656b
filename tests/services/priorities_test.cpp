// Priorities as the system sees them: each case runs in a child process, so
// the test runner keeps its own priority, and `ps` reads the result.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <thread>

#include "scripted_desktop.h"
#include "services/priorities.h"

namespace qmb::test {
namespace {

// Runs `body` in a child; its text comes back through a pipe. `look` runs in
// the parent while the child waits, with the child's pid.
std::string InChild(const std::function<std::string()>& body,
                    const std::function<void(pid_t)>& look = {}) {
  int result[2], done[2];
  if (pipe(result) != 0 || pipe(done) != 0) return "pipe failed";
  pid_t pid = fork();
  if (pid == 0) {
    close(result[0]);
    close(done[1]);
    std::string text = body() + "\n";
    ssize_t ignored = write(result[1], text.data(), text.size());
    static_cast<void>(ignored);
    close(result[1]);
    char byte;
    ignored = read(done[0], &byte, 1);
    _exit(0);
  }
  close(result[1]);
  close(done[0]);
  std::string text;
  char buffer[512];
  ssize_t n;
  while (text.find('\n') == std::string::npos && (n = read(result[0], buffer, sizeof buffer)) > 0) {
    text.append(buffer, static_cast<std::size_t>(n));
  }
  if (look) look(pid);
  close(done[1]);
  close(result[0]);
  waitpid(pid, nullptr, 0);
  return text.substr(0, text.find('\n'));
}

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
  }
  return out;
}

TEST(Priorities, IdleClassMakesEveryThreadOfTheProcessNice) {
  std::string niceValues;
  std::string captions = InChild(
      [] {
        // A second thread, as the sound engine has, waits while the class changes.
        std::thread([] {
          for (;;) pause();
        }).detach();
        EditModel threadName, className;
        PriorityControl priorities(threadName, className);
        priorities.ApplyClassStep(1);
        return className.Text() + "|" + threadName.Text();
      },
      [&niceValues](pid_t pid) { niceValues = Output("ps -L -o ni= -p " + std::to_string(pid)); });
  EXPECT_EQ(captions, "Idle|Normal");
  EXPECT_EQ(niceValues, " 19\n 19\n");
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
