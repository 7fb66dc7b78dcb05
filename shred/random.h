/* The process's one random generator, shared by the renames, the fill
 * texts and the file times. Draws run from 0 to 2147483647. */
#ifndef RANDOM_H
#define RANDOM_H

void SeedRandom(unsigned long seed);
unsigned long DrawRandom(void);
/* Whole seconds since 1970 from the system clock: the seed's source. */
unsigned long ClockSeconds(void);

#endif
