/* Preloaded into the 32-bit Wine loader when wine-run has to run it under qemu-i386, on hosts
 * whose kernel cannot execute 32-bit code. Wine works well there only with two corrections to its
 * mmap calls:
 *
 * - qemu 7.2 does not know MAP_FIXED_NOREPLACE and takes the address as a mere hint. Wine
 *   reserves its address space with such calls; when a range is partly taken, qemu silently
 *   returns memory elsewhere, which Wine keeps as reserved when it lies above 2 GB. The upper
 *   2 GB then fills up with those stray reservations, and Wine's own attempt to reserve it
 *   afterwards splits the range down to 64 KB pieces: some 65,000 failing calls of about a
 *   millisecond each under qemu, 45 s per program start. Giving the kernel's answer (EEXIST,
 *   nothing mapped) cuts that to about 150 calls.
 *
 * - Wine must put KUSER_SHARED_DATA at 0x7ffe0000, and qemu puts mappings whose hint it cannot
 *   honour just below 2 GB, on that very page while it is free. The window is therefore held
 *   from the start and given back the moment Wine asks for it.
 *
 * The mappings go straight to the mmap2 system call because dlsym(RTLD_NEXT) may itself
 * allocate memory, which can re-enter these functions before the real ones are known.
 *
 * A third correction lets a Windows program start another one (cmd starting a program, start.exe
 * running one by its bare name): Wine execs its 32-bit loader for the child, which such a kernel
 * cannot run either. That exec is turned into one of qemu-i386, with this library preloaded again.
 */
#define _GNU_SOURCE
#include <elf.h>
#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef MAP_FIXED_NOREPLACE
#define MAP_FIXED_NOREPLACE 0x100000
#endif

#define KUSER_START 0x7ffe0000u
#define KUSER_END   0x7fff0000u
#define PAGE_MASK   0xfffu

static int kuser_held;
static char preload[4096] = "LD_PRELOAD=";  /* this library, for the children */

__attribute__((constructor)) static void shim_init(void)
{
    long r = syscall(SYS_mmap2, (void *)KUSER_START, KUSER_END - KUSER_START, PROT_NONE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_FIXED_NOREPLACE, -1, 0L);

    /* qemu takes the address as a hint only (see above): if the window is gone already,
       whatever came back elsewhere is of no use. */
    if (r != -1 && (uintptr_t)r != KUSER_START)
        syscall(SYS_munmap, (void *)r, KUSER_END - KUSER_START);
    kuser_held = (uintptr_t)r == KUSER_START;

    /* Wine starts the 64-bit wineserver and 64-bit Windows programs natively; a 32-bit preload
       library would only make their dynamic loader complain. */
    const char *self = getenv("LD_PRELOAD");
    if (self && strlen(self) < sizeof preload - sizeof "LD_PRELOAD=")
        strcat(preload, self);
    unsetenv("LD_PRELOAD");
}

static void *shim_mmap(void *addr, size_t len, int prot, int flags, int fd, long long off)
{
    uintptr_t start = (uintptr_t)addr;
    long r;

    if (kuser_held && addr && start < KUSER_END &&
        (start >= KUSER_START || len > KUSER_START - start)) {
        syscall(SYS_munmap, (void *)KUSER_START, KUSER_END - KUSER_START);
        kuser_held = 0;
    }

    /* mmap2 counts the offset in pages, so an unaligned one cannot be passed on. */
    if (off < 0 || (off & PAGE_MASK)) {
        errno = EINVAL;
        return MAP_FAILED;
    }
    r = syscall(SYS_mmap2, addr, len, prot, flags, fd, (long)(off >> 12));
    if (r == -1)
        return MAP_FAILED;

    if ((flags & MAP_FIXED_NOREPLACE) && !(flags & MAP_FIXED) && (uintptr_t)r != start) {
        syscall(SYS_munmap, (void *)r, len);
        errno = EEXIST;
        return MAP_FAILED;
    }
    return (void *)r;
}

void *mmap(void *addr, size_t len, int prot, int flags, int fd, off_t off)
{
    return shim_mmap(addr, len, prot, flags, fd, off);
}

void *mmap64(void *addr, size_t len, int prot, int flags, int fd, off64_t off)
{
    return shim_mmap(addr, len, prot, flags, fd, off);
}

static int is_i386_elf(const char *path)
{
    Elf32_Ehdr header;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    ssize_t got;

    if (fd < 0)
        return 0;
    got = read(fd, &header, sizeof header);
    close(fd);
    return got == (ssize_t)sizeof header && !memcmp(header.e_ident, ELFMAG, SELFMAG) &&
           header.e_ident[EI_CLASS] == ELFCLASS32 && header.e_machine == EM_386;
}

/* Wine execs its preloader first and, when that fails, the loader itself (argv[0] is its path). */
int execv(const char *path, char *const argv[])
{
    extern char **environ;
    size_t argc = 0, i;

    if (!is_i386_elf(path))
        return (int)syscall(SYS_execve, path, argv, environ);
    if (strlen(path) >= 10 && !strcmp(path + strlen(path) - 10, "-preloader")) {
        errno = ENOEXEC;  /* the preloader's fixed mappings are what qemu can't give */
        return -1;
    }
    while (argv[argc])
        argc++;
    {
        char *args[argc + 6];
        args[0] = "qemu-i386";
        args[1] = "-E";
        args[2] = preload;
        args[3] = "-E";
        args[4] = "WINELOADERNOEXEC=1";
        args[5] = (char *)path;
        for (i = 1; i <= argc; i++)
            args[5 + i] = argv[i];
        return execvp(args[0], args);
    }
}
