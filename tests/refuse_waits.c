/* Runs a program with its timed waits refused (EPERM), as strict container profiles refuse calls
 * they don't know; "all" refuses ppoll too. Status 77 where no filter can be installed. */
#include <errno.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef __NR_clock_nanosleep_time64 /* 64-bit systems: their one call stands in */
#define __NR_clock_nanosleep_time64 __NR_clock_nanosleep
#define __NR_ppoll_time64 __NR_ppoll
#endif
#define IS(call, to) BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_##call, to, 0)

int main(int argc, char** argv) {
  if (argc < 3) return fprintf(stderr, "usage: %s clock_nanosleep|all PROGRAM...\n", argv[0]), 2;
  const unsigned char all = strcmp(argv[1], "all") == 0; /* else ppoll jumps to the allow */
  struct sock_filter filter[7] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr)),
      IS(clock_nanosleep, 4),
      IS(clock_nanosleep_time64, 3),
      IS(ppoll, 1 + all),
      IS(ppoll_time64, all),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM)};
  if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) ||
      prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &(struct sock_fprog){7, filter}))
    return perror("refuse_waits"), 77;
  execv(argv[2], argv + 2);
  return perror(argv[2]), 127;
}
