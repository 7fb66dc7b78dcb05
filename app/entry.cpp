/* The program's own start, and the few memory routines the compiler may
 * call for it: no C runtime DLL, so a freshly installed Windows 95 runs it. */
#include "window.h"

extern "C" void ZorvexStart(void)
{
    ExitProcess((UINT)ZorvexMain(GetModuleHandleA(NULL)));
}

/* Built without loop-to-call rewriting, so these never call themselves. */
extern "C" void *memset(void *to, int value, size_t size)
{
    unsigned char *p = (unsigned char *)to;
    while (size--)
        *p++ = (unsigned char)value;
    return to;
}

extern "C" void *memcpy(void *to, const void *from, size_t size)
{
    unsigned char *p = (unsigned char *)to;
    const unsigned char *q = (const unsigned char *)from;
    while (size--)
        *p++ = *q++;
    return to;
}

extern "C" void *memmove(void *to, const void *from, size_t size)
{
    unsigned char *p = (unsigned char *)to;
    const unsigned char *q = (const unsigned char *)from;
    if (p < q) {
        while (size--)
            *p++ = *q++;
    } else {
        while (size--)
            p[size] = q[size];
    }
    return to;
}

extern "C" int memcmp(const void *a, const void *b, size_t size)
{
    const unsigned char *p = (const unsigned char *)a, *q = (const unsigned char *)b;
    for (; size--; p++, q++)
        if (*p != *q)
            return *p - *q;
    return 0;
}
