/* The user's options: process-wide, read at window creation, each change
 * written to the registry at once through ostrel32.dll. */
#ifndef OPTIONS_H
#define OPTIONS_H

#include <windows.h>

#define KEY_BUFFER 256
#define VALUE_BUFFER 81

extern int SecurityLevel;
extern int ConfirmDelete;
extern int Minimized;
extern int UseShiftKey;
extern int IconColor;
extern int UseDirectory;
extern int AllowDirectoryDelete;
extern int ExtendBeforeOverwrite;

/* The name under which the library is loaded around every access. */
extern const char *RegLibName;

void LoadOptions(HWND window);
void SaveOptions(void);
void LoadWindowPos(HWND window);
void SaveWindowPos(int x, int y);
int LoadUseDirectory(void);
void SaveUseDirectory(int flag);
int LoadAllowDirectoryDelete(void);
void SaveAllowDirectoryDelete(int flag);
void LoadLastDirectory(char *buffer);
void SaveLastDirectory(const char *text);

/* The read rule of the stored positions. */
int NumberFromText(const char *text);

#endif
