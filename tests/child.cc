#include "child.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace child {

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

// The same descriptor moved above 0-2, close-on-exec: a test run without standard input (or
// output) would otherwise get a pipe as descriptor 0, and the child's set-up of 0-2 would trip
// over it. Async-signal-safe.
int AboveStandard(int fd) {
  if (fd < 0) return fd;
  const int high = ::fcntl(fd, F_DUPFD_CLOEXEC, 10);
  ::close(fd);
  return high;
}

// Fills a pipe whose write end is non-blocking until a write of one byte fails; returns the count.
std::size_t Fill(int fd) {
  const std::string block(4096, 'f');
  std::size_t filled = 0;
  for (std::size_t size = block.size(); size > 0;) {
    const ssize_t n = ::write(fd, block.data(), size);
    if (n > 0) {
      filled += static_cast<std::size_t>(n);
    } else {
      Check(errno == EAGAIN, "fill");
      size /= 2;  // a write up to PIPE_BUF goes in whole or not at all: try a smaller one
    }
  }
  return filled;
}

}  // namespace

std::string Result::output() const {
  std::string all;
  for (const Chunk& chunk : chunks) all += chunk.bytes;
  return all;
}

std::string FromEnvironment(const char* name, const char* builtIn) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != 0 ? value : builtIn;
}

Result Run(const Options& options) {
  int out[2], err[2];
  Check(::pipe2(out, O_CLOEXEC) == 0 && ::pipe2(err, O_CLOEXEC) == 0, "pipe");
  for (int* fd : {&out[0], &out[1], &err[0], &err[1]}) *fd = AboveStandard(*fd);
  std::size_t filled = 0;
  if (options.output == Output::kFullPipe) {
    // O_NONBLOCK belongs to the open pipe, which the program shares through its descriptor 1.
    Check(::fcntl(out[1], F_SETFL, O_NONBLOCK) == 0, "fcntl");
    filled = Fill(out[1]);
  }

  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view name(*entry);
    if (name.rfind("LC_", 0) == 0 || name.rfind("LANG", 0) == 0) continue;
    env.emplace_back(*entry);
  }
  env.push_back("LC_ALL=" + options.locale);
  env.insert(env.end(), options.environment.begin(), options.environment.end());
  std::vector<std::string> args = {options.program};
  args.insert(args.end(), options.args.begin(), options.args.end());
  auto pointers = [](std::vector<std::string>& strings) {
    std::vector<char*> list;
    for (auto& s : strings) list.push_back(s.data());
    list.push_back(nullptr);
    return list;
  };
  std::vector<char*> argv = pointers(args), envp = pointers(env);

  if (options.output == Output::kBrokenPipe) {
    ::close(out[0]);
    out[0] = -1;
  }
  const auto start = Clock::now();
  const pid_t pid = ::fork();
  Check(pid >= 0, "fork");
  if (pid == 0) {
    // Only async-signal-safe calls from here on.
    const int null = AboveStandard(::open("/dev/null", O_RDWR));
    options.closeInput ? ::close(0) : ::dup2(null, 0);
    switch (options.output) {
      case Output::kPipe:
      case Output::kBrokenPipe:
      case Output::kPipeReaderLeaves:
      case Output::kFullPipe:
        ::dup2(out[1], 1);
        break;
      case Output::kClosed:
        ::close(1);
        break;
      case Output::kDevFull:
        ::dup2(AboveStandard(::open("/dev/full", O_WRONLY)), 1);
        break;
    }
    switch (options.errors) {
      case Errors::kPipe:
        ::dup2(err[1], 2);
        break;
      case Errors::kDevNull:
        ::dup2(null, 2);
        break;
      case Errors::kClosed:
        ::close(2);
        break;
    }
    ::signal(SIGPIPE, SIG_DFL);
    // An ignored signal stays ignored across exec, which is how nohup works.
    ::signal(SIGHUP, options.ignoreHangup ? SIG_IGN : SIG_DFL);
    if (options.addressSpaceLimit != 0) {
      const rlimit limit{options.addressSpaceLimit, options.addressSpaceLimit};
      ::setrlimit(RLIMIT_AS, &limit);
    }
    ::execve(options.program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);

  Result result;
  bool killed = false;
  auto killIfDue = [&] {
    if (killed || options.killAfterMs <= 0 || Since(start) < options.killAfterMs) return;
    ::kill(pid, SIGKILL);
    killed = true;
  };
  bool told = false;
  auto tell = [&] {
    if (!told && options.onFirstOutput) options.onFirstOutput(pid);
    told = true;
  };
  const bool reads = options.output == Output::kPipe || options.output == Output::kPipeReaderLeaves;
  if (!reads) tell();
  pollfd fds[2] = {{reads ? out[0] : -1, POLLIN, 0}, {err[0], POLLIN, 0}};
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    const int timeout =
        killed || options.killAfterMs <= 0
            ? -1
            : static_cast<int>(std::max(0.0, options.killAfterMs - Since(start))) + 1;
    const int ready = ::poll(fds, 2, timeout);
    killIfDue();
    if (ready <= 0) {
      Check(ready == 0 || errno == EINTR, "poll");
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
        if (options.output == Output::kPipeReaderLeaves) {
          ::close(out[0]);
          fds[0].fd = out[0] = -1;
        }
        tell();
      } else {
        result.errors.append(buffer, static_cast<size_t>(n));
      }
    }
  }
  if (reads) tell();  // a program that wrote nothing still gets its signal
  if (out[0] >= 0 && options.output != Output::kFullPipe) ::close(out[0]);
  ::close(err[0]);

  int status = 0;
  rusage usage{};
  for (;;) {
    const bool watch = options.killAfterMs > 0 && !killed;
    const pid_t ended = ::wait4(pid, &status, watch ? WNOHANG : 0, &usage);
    if (ended == pid) break;
    if (ended < 0) {
      Check(errno == EINTR, "wait4");
    } else {
      killIfDue();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  result.elapsedMs = Since(start);
  if (options.output == Output::kFullPipe) {
    // The filling first, then whatever the program managed to add.
    std::string all;
    char buffer[65536];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) {
      all.append(buffer, static_cast<size_t>(n));
    }
    ::close(out[0]);
    if (all.size() > filled) result.chunks.push_back({all.substr(filled), result.elapsedMs});
  }
  result.cpuMs = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

}  // namespace child
