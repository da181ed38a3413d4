// The constants of the nine titles. The row number is the title index.
#pragma once

enum { TITLE_COUNT = 9, TITLE_UNKNOWN = 9, TWO_DISC_TITLE = 6 };

// One row of titles.inc, its fields in the order of the columns there.
struct TitleRow {
    const char *discMarker;       // relative to the own directory, on a CD
    const char *hardDiskExe;      // relative to the own directory, elsewhere
    const char *gameWindowClass;
    const char *discMarkerPath;   // "C" stands for the drive letter
    const char *registryKey;      // under HKEY_LOCAL_MACHINE
    const char *valueName;
    const char *gameExe;          // relative to the installation directory
    const char *setupProgram;     // relative to the own directory
    const char *promptCaption;
    const char *promptText;
    const char *retryText;
    // Only the two-disc title fills these four; NULL in the other rows.
    const char *secondDiscMarkerPath; // "C" stands for the drive letter; play needs it
    const char *installedLauncher;    // beside the installed game
    const char *installerClass;       // the installer's window while it runs
    const char *installerTitle;
    int boxArtId;
};

extern const TitleRow titleCatalogue[TITLE_COUNT];

// The launcher's own copy in the Windows directory made by the two-disc
// title; its presence in the own directory also selects that title.
extern const char TEMP_COPY_NAME[];
