/* The floor for bench.py: a statically linked C program that reads from the environment just the
 * locale categories that waitms reads, and does nothing else. */
#include <locale.h>

int main(void) {
  setlocale(LC_CTYPE, "");
  setlocale(LC_NUMERIC, "");
  return 0;
}
