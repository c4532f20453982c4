/* The limit for bench.py: a statically linked C program that does nothing. No program can start
 * faster or with less memory. */
int main(void) {
  return 0;
}
