// Runs a program with arguments and waits for it; the exit status, or -1 when it could not
// be started. No shell is involved, so arguments need no quoting (and must hold no blanks
// on Windows).
#pragma once

#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace installer_test {

inline int RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> all = {program};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
#ifdef _WIN32
  intptr_t status = _spawnv(_P_WAIT, program.c_str(), argv.data());
  return static_cast<int>(status);
#else
  pid_t pid;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
#endif
}

}  // namespace installer_test
