#include "child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace child {

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

}  // namespace

std::string Result::output() const {
  std::string all;
  for (const Chunk& chunk : chunks) all += chunk.bytes;
  return all;
}

Result Run(const Options& options) {
  int out[2], err[2];
  Check(::pipe2(out, O_CLOEXEC) == 0 && ::pipe2(err, O_CLOEXEC) == 0, "pipe");

  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view name(*entry);
    if (name.rfind("LC_", 0) == 0 || name.rfind("LANG", 0) == 0) continue;
    env.emplace_back(*entry);
  }
  env.push_back("LC_ALL=" + options.locale);
  env.insert(env.end(), options.environment.begin(), options.environment.end());
  std::vector<std::string> args = {options.argv0.empty() ? options.program : options.argv0};
  args.insert(args.end(), options.args.begin(), options.args.end());
  auto pointers = [](std::vector<std::string>& strings) {
    std::vector<char*> list;
    for (auto& s : strings) list.push_back(s.data());
    list.push_back(nullptr);
    return list;
  };
  std::vector<char*> argv = pointers(args), envp = pointers(env);

  if (options.output == Output::kBrokenPipe) ::close(out[0]);
  const auto start = Clock::now();
  const pid_t pid = ::fork();
  Check(pid >= 0, "fork");
  if (pid == 0) {
    // Only async-signal-safe calls from here on.
    const int null = ::open("/dev/null", O_RDONLY);
    options.closeInput ? ::close(0) : ::dup2(null, 0);
    switch (options.output) {
      case Output::kPipe:
      case Output::kBrokenPipe:
        ::dup2(out[1], 1);
        break;
      case Output::kClosed:
        ::close(1);
        break;
      case Output::kDevFull:
        ::dup2(::open("/dev/full", O_WRONLY), 1);
        break;
    }
    ::dup2(err[1], 2);
    ::signal(SIGPIPE, SIG_DFL);
    ::execve(options.program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);

  Result result;
  bool told = false;
  auto tell = [&] {
    if (!told && options.onFirstOutput) options.onFirstOutput(pid);
    told = true;
  };
  if (options.output != Output::kPipe) tell();
  pollfd fds[2] = {{options.output == Output::kBrokenPipe ? -1 : out[0], POLLIN, 0},
                   {err[0], POLLIN, 0}};
  if (options.output != Output::kPipe) fds[0].fd = -1;
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    if (::poll(fds, 2, -1) < 0) {
      Check(errno == EINTR, "poll");
      continue;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[65536];
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n <= 0) {
        fds[i].fd = -1;
        continue;
      }
      if (i == 0) {
        result.chunks.push_back({std::string(buffer, static_cast<size_t>(n)), Since(start)});
        tell();
      } else {
        result.errors.append(buffer, static_cast<size_t>(n));
      }
    }
  }
  if (options.output == Output::kPipe) {
    tell();  // a program that wrote nothing still gets its signal
    ::close(out[0]);
  }
  ::close(err[0]);

  int status = 0;
  rusage usage{};
  while (::wait4(pid, &status, 0, &usage) < 0) Check(errno == EINTR, "wait4");
  result.elapsedMs = Since(start);
  result.cpuMs = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

}  // namespace child
