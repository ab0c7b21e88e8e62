/* Exits with 0 when it runs as 32-bit code: the test session of the 32-bit
   build starts it once to find out whether this machine runs its programs. */
int main(void) { return sizeof(void*) == 4 ? 0 : 1; }
