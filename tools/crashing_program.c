/* Writes through a null pointer: the Wine session's check that a crashing
   test program ends at once, with a failure. */
int main(void) {
  volatile int* nowhere = 0;
  *nowhere = 1;
  return 0;
}
