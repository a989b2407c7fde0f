/* The probe that tells whether Wine on this host starts 32-bit Windows programs: ./run builds it for
   i686 and runs it once per command. Its exit status, 32, says that it ran as a 32-bit program; a
   host whose kernel runs no 32-bit x86 code never gets this far. */
int main(void) {
  return sizeof(void*) == 4 ? 32 : 64;
}
