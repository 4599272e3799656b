// The real player as a process: copied with its picture library, bundled
// skins, plug-ins, splash pictures and icons into a program folder of its
// own, with a runtime folder of its own so no other player answers.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "temp_folder.h"
#include "wait.h"

namespace qmb::test {

class PlayerProcessRig : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyPlayerInto(program);
    ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
  }
  void TearDown() override {
    for (pid_t pid : started) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
  }

  static void CopyPlayerInto(const TempFolder& folder) {
    namespace fs = std::filesystem;
    for (const char* name : {"QMB", "image.so", "Skins", "Plugins", "Splash", "Icons"}) {
      fs::copy(std::string(QMB_PROGRAM_FOLDER "/") + name, folder.Path() + name,
               fs::copy_options::recursive);
    }
  }

  // Started from `workingFolder` when one is given, as from a shell there.
  pid_t Start(const TempFolder& folder, std::vector<std::string> args = {},
              const std::string& workingFolder = {}) {
    std::string exe = folder.Path() + "QMB";
    args.insert(args.begin(), exe);
    pid_t pid = ::fork();
    if (pid == 0) {
      if (!workingFolder.empty() && ::chdir(workingFolder.c_str()) != 0) ::_exit(126);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      // No sound hardware here: the default output plays through SDL's dummy driver.
      ::setenv("SDL_AUDIODRIVER", "dummy", 1);
      for (const auto& [name, value] : childEnvironment)
        value.empty() ? ::unsetenv(name.c_str()) : ::setenv(name.c_str(), value.c_str(), 1);
      if (!errorsFile.empty() && !std::freopen(errorsFile.c_str(), "w", stderr)) ::_exit(126);
      ::execv(exe.c_str(), argv.data());
      ::_exit(127);
    }
    started.push_back(pid);
    return pid;
  }

  // The exit code, or -1 when the process has not ended in time.
  int WaitForExit(pid_t pid, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    int status = 0;
    if (!WaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, limit, idle)) return -1;
    std::erase(started, pid);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  int Terminate(pid_t pid) {
    ::kill(pid, SIGTERM);
    return WaitForExit(pid);
  }
  // The player is up once it listens for other starts.
  bool WaitUntilListening() {
    return WaitFor([&] { return std::filesystem::exists(runtime.Path() + "HWT_QMB_5"); });
  }

  TempFolder program;
  TempFolder runtime;
  std::vector<pid_t> started;
  // Set in the started player's environment after the defaults; an empty value unsets.
  std::vector<std::pair<std::string, std::string>> childEnvironment;
  std::string errorsFile;      // the started player's standard error, when set
  std::function<void()> idle;  // runs while waiting for an exit
};

}  // namespace qmb::test
