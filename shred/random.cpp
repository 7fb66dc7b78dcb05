/* A small 64-bit linear congruential generator; the top 31 bits of its
 * state are the draw, so draws cover 0 to 2147483647 (msvcrt's rand stops
 * at 32767). Equal seeds give equal sequences. */
#include "random.h"
#include <windows.h>

static unsigned long long RandomState = 0;

void SeedRandom(unsigned long seed)
{
    RandomState = seed;
}

unsigned long DrawRandom(void)
{
    RandomState = RandomState * 6364136223846793005ULL + 1442695040888963407ULL;
    return (unsigned long)(RandomState >> 33) & 0x7FFFFFFFUL;
}

unsigned long ClockSeconds(void)
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULONGLONG ticks = ((ULONGLONG)now.dwHighDateTime << 32) | now.dwLowDateTime;
    return (unsigned long)(ticks / 10000000ULL - 11644473600ULL);
}
