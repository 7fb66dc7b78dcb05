/* Random names and random file times for the higher security levels. */
#ifndef RENAME_H
#define RENAME_H

#define RENAME_MAX_LETTERS 231

/* Renames the file named by current_path (updated after every rename);
 * new_path receives the name it lies under at the end. 0 when its
 * buffers cannot be obtained. */
int _ChangeFileName(int level, char *new_path, char *current_path);
int ScrambleFileTimes(int level, const char *path);

#endif
