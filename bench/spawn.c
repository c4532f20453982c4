/* A small spawn harness for bench.py: runs commands in rounds, alternating their order, and prints
 * one line per run: "<command index> <wall us> <peak RSS KiB> <CPU us>".
 *
 *   spawn ROUNDS cmd1 args... [-- cmd2 args...]...
 *
 * It is linked statically and keeps little memory, because a child's peak RSS as the kernel reports
 * it includes the spawning process's own before the exec. Output goes to /dev/null. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;

static double now_us(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec * 1e6 + (double)t.tv_nsec / 1e3;
}

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const int rounds = atoi(argv[1]);
  char** commands[16];
  int count = 0;
  commands[count++] = &argv[2];
  for (int i = 2; i < argc && count < 16; ++i) {
    if (strcmp(argv[i], "--") == 0) {
      argv[i] = NULL;
      commands[count++] = &argv[i + 1];
    }
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  for (int round = 0; round < rounds; ++round) {
    for (int k = 0; k < count; ++k) {
      const int c = (round % 2) ? count - 1 - k : k;
      const double start = now_us();
      pid_t pid;
      if (posix_spawn(&pid, commands[c][0], &actions, NULL, commands[c], environ) != 0) return 3;
      int status;
      struct rusage usage;
      if (wait4(pid, &status, 0, &usage) != pid) return 5;
      const double wall = now_us() - start;
      if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 4;
      printf("%d %.1f %ld %.0f\n", c, wall, usage.ru_maxrss,
             (double)(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6 +
                 (double)(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec));
    }
  }
  return 0;
}
