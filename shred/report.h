/* What a request leaves standing without a box of its own, told once
 * when the request ends, one box per kind, not once per item. */
#ifndef REPORT_H
#define REPORT_H

enum { LEFT_LINK, LEFT_TOO_LONG, LEFT_KINDS };

void ForgetLeftInPlace(void);
void NoteLeftInPlace(int kind, const char *path);
void ReportLeftInPlace(void);

#endif
