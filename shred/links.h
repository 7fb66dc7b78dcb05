/* Links: removed themselves, never what they point to, and left in place
 * where every open follows them. */
#ifndef LINKS_H
#define LINKS_H

#include <windows.h>

/* -1 until it is known whether the handle-name test is needed (under
 * Wine), then 0 or 1. A test sets it to run the other platform's rule. */
extern int LinksHiddenByPlatform;

int ResolvesElsewhere(const char *path);
/* Whether an open handle of `path` reached something of another name. */
int OpenedElsewhere(HANDLE file, const char *path);
int IsLink(const char *path, DWORD attributes);
/* Any removal would reach the target: the link stays and is reported. */
void KeepLink(const char *path);
void RemoveLink(const char *path, DWORD attributes);

#endif
