/* What a request leaves standing without a box of its own, told once
 * when the request ends, one box per kind with the count and the first
 * path, not once per item. */
#ifndef REPORT_H
#define REPORT_H

enum {
    LEFT_NOT_ENTERED,       /* a folder the walk could not go into */
    LEFT_NOT_OVERWRITTEN,   /* a write or flush failed: not deleted */
    LEFT_OVERWRITTEN,       /* overwritten, but the delete failed */
    LEFT_NOT_DELETED,       /* the delete failed (level 1) */
    LEFT_NOT_REMOVED,       /* a folder that could not be removed */
    LEFT_UNREACHABLE,       /* a name no file call can reach exactly */
    LEFT_LINK,
    LEFT_TOO_LONG,
    LEFT_KINDS
};

void ForgetLeftInPlace(void);
void NoteLeftInPlace(int kind, const char *path);
void ReportLeftInPlace(void);

#endif
