/* Names used only when they name exactly the chosen item. The program
 * works in the ANSI code page; the system turns a wide name it cannot
 * spell into a look-alike ("best fit"), and the path calls drop trailing
 * dots and blanks and split at separators. Such a name would reach
 * another item, or climb out of a folder. */
#ifndef NAMES_H
#define NAMES_H

#include <windows.h>

/* Every component of a full path as the path rules take it unchanged:
 * not empty, not "." or "..", no trailing dot or blank, no separator,
 * colon or wildcard (a drive "X:" and a trailing backslash allowed). */
int IsExactPath(const char *path);

/* A wide character with a to z made upper case: file systems ignore the
 * case of these, and nothing else is folded. */
WCHAR FoldAscii(WCHAR c);

/* Why a name cannot be used: the answers of the exact-path calls. */
enum {
    NAME_EXACT,         /* it names exactly the item */
    NAME_CODE_PAGE,     /* characters the code page cannot spell */
    NAME_PATH_RULES,    /* the path rules would change it (a trailing dot, a device's name) */
    NAME_AMBIGUOUS,     /* more than one item goes by it */
    NAME_NO_DRIVE       /* it lies on none of this system's drives */
};

/* A path as the user knows it, wide: the long form of every part where
 * the system gives one, else the path as it stands. */
void DisplayNameOf(const char *path, WCHAR *out, int size);

/* The ANSI spelling of a wide name, when it converts without loss. */
int ExactAnsiOfWide(const WCHAR *wide, char *out, int size);

/* A dropped item's wide path as an ANSI path naming exactly that item:
 * its own spelling, or else its short (8.3) path whose long form is
 * exactly it. A NAME_ answer; unless NAME_EXACT, `out` shows the name as
 * well as the code page can. */
int ExactPathOfWide(const WCHAR *wide, char *out, int size);

/* The file chooser hands back the best-fit spelling of what was picked.
 * Each component is looked up among the wide names of its folder: used
 * only if exactly one item goes by it there, and then by a name that
 * spells that item exactly. A NAME_ answer. */
int ExactChosenPath(const char *chosen, char *out, int size);

/* A listing of the current directory whose entry names name exactly
 * their entries: cFileName is the long name, or the short one where only
 * that spells the entry. `*exact` is 0 where neither does; cFileName then
 * shows it as well as the code page can. FindClose ends it. */
HANDLE FindFirstExact(const char *pattern, WIN32_FIND_DATAA *entry, int *exact);
int FindNextExact(HANDLE search, WIN32_FIND_DATAA *entry, int *exact);

#endif
