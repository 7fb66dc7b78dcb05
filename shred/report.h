/* What the user is told: the refusals of a request as they happen, and
 * what it leaves standing without a box of its own, told once when the
 * request ends, one box per kind with the count and the first path. */
#ifndef REPORT_H
#define REPORT_H

#include <windows.h>

/* A box of the program's own: no owner, caption "Zorvex", stop icon. */
void StopBox(const char *text);

void RefuseTooLong(const char *path);
void RefuseDriveRoot(const char *path);
/* "Name cannot be used exactly" for a dropped or chosen item, with its
 * NAME_ reason; named by `wide` where the caller has it. */
void RefuseInexactName(const char *shown, const WCHAR *wide, int reason);
void RefuseFolders(void);
void RefuseDropMemory(void);
void RefuseLateDrop(void);
void RefuseDropsAfterStop(int count);
/* The shredder's own boxes: the file (or the folder) it was handed is
 * left as it is. */
void RefuseFile(const char *path, int folder);
void RefuseFileMemory(void);

enum {
    LEFT_NOT_ENTERED,       /* a folder the walk could not go into */
    LEFT_NOT_OVERWRITTEN,   /* a write or flush failed: not deleted */
    LEFT_OVERWRITTEN,       /* overwritten, but the delete failed */
    LEFT_NOT_DELETED,       /* the delete failed (level 1) */
    LEFT_NOT_REMOVED,       /* a folder that could not be removed */
    LEFT_UNREACHABLE,       /* a name no file call can reach exactly */
    LEFT_LINK,
    LEFT_TOO_LONG,
    LEFT_HARD_LINKED,       /* other names share its contents */
    LEFT_NOT_PLAIN,         /* a device or a pipe: nothing written */
    LEFT_GREW,              /* another program kept adding to it */
    LEFT_STOPPED,           /* Stop came during its overwrite */
    LEFT_NOT_REACHED,       /* Stop came before it */
    LEFT_KINDS
};

void ForgetLeftInPlace(void);
void NoteLeftInPlace(int kind, const char *path);
void ReportLeftInPlace(void);

#endif
