/* Faults on purpose, for the crash-guard test. */
#include <stddef.h>

int crashy_read(volatile int* p) { return *p; }
int crashy_null(void) { return crashy_read(NULL); }
int crashy_divide(int a, int b) { return a / b; }
int crashy_fine(int a) { return a + 1; }
