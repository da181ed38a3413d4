// The Title: everything that differs between the nine titles is reached
// through its virtual operations; it also carries the menu's layout and the
// state of the two menu buttons.
#pragma once
#include <windows.h>
#include "launcher/globals.h"

enum {
    BUTTON_PLAY = 0,    // Play or Install
    BUTTON_QUIT = 1,
    BUTTON_NONE = 2,
};

enum {
    FRAME_NORMAL = 0,
    FRAME_PRESSED = 1,
    FRAME_ACTIVATED = 2,
    FRAME_FOCUSED = 3,
};

enum { HOTSPOT_COUNT = 8 };

struct MenuButton {
    RECT    buttonRect;       // client coordinates
    POINT   buttonPos;        // picture coordinates
    HBITMAP buttonFrames[4];  // normal, pressed, activated, focused
};

class Title {
public:
    Title(int onCd, int titleIndex);

    // The launcher's only object on the heap (src/launcher/memory.cpp).
    // Both are noexcept: a failed allocation makes the new-expression give
    // NULL without running the constructor, so neither a throwing operator
    // new nor the C++ library's <new> is needed.
    static void *operator new(size_t size) noexcept;
    static void operator delete(void *block) noexcept;

    // The slots, in this order.
    virtual void loadBoxArt() = 0;
    virtual const char *gameWindowClass() = 0;
    virtual const char *discMarkerPath() = 0;
    virtual ~Title();
    virtual int isAlreadyRunning();
    virtual void run();
    virtual int isInstalled() = 0;
    virtual int install() = 0;
    virtual int play() = 0;
    virtual const char *promptCaption() = 0;
    virtual const char *promptText() = 0;
    virtual const char *retryText() = 0;

    // Common operations the titles are built from.
    int checkRegistryInstall(const char *key, const char *valueName, const char *exeName);
    int runSetupFromOwnDir(const char *setupPath);
    int playFromInstallDir(const char *exeName, const char *markerPath);

    // Menu drawing and the button state machine.
    void drawIntoBackground(HBITMAP bitmap, int x, int y);
    void drawButtonFrame(int button, int frame);
    void unfocusButton(int button);
    void focusOnButton(int button);
    void pressFocusedButton();
    void activateLitButton();
    void trackPointer(int x, int y);
    int hitButton(int x, int y, int button);
    int hitFocusedButton(int x, int y);
    int hitLitButton(int x, int y);
    int hitHotSpot(int x, int y, int *index);

    int onCd;
    int installed;
    int titleIndex;
    char installDir[PATH_SIZE];
    int screenWidth, screenHeight;
    int originX, originY;
    HBITMAP backgroundBitmap;
    RECT boxArtRect;
    POINT boxArtPos;
    HBITMAP boxArtBitmap;
    MenuButton buttons[2];
    RECT hotSpots[HOTSPOT_COUNT];
    int focusButton;
    int litButton;
};

// Starts a program by its full path, with the launcher's environment. Every
// program but the hand-over copy is started with NULL for both of the
// others: no command line, and the launcher's current directory. On failure
// shows "We have a problem" and returns 0.
int launchProgram(const char *path, const char *commandLine = NULL,
                  const char *currentDir = NULL);
// The launch failure message: the error and the program's path, dir + name
// (which may be longer than a launch path can hold), owned by the menu
// window when there is one.
void reportLaunchFailure(DWORD error, const char *dir, const char *name);

#ifndef ERROR_ELEVATION_REQUIRED
#define ERROR_ELEVATION_REQUIRED 740   // missing from some mingw-w64 headers
#endif

// Starts a program as launchProgram does; 0 when it started, else the error.
typedef DWORD (*ProgramStarter)(const char *path, const char *commandLine,
                                const char *currentDir);
// launchProgram's decision with its two ways to start a program: start,
// and on ERROR_ELEVATION_REQUIRED startElevated, whose ERROR_CANCELLED (the
// user declined) returns to the menu without a message.
int launchWith(const char *path, const char *commandLine, const char *currentDir,
               ProgramStarter start, ProgramStarter startElevated);

// Creates the Title of a catalogue row (0..8), or NULL when out of memory.
Title *newTitle(int onCd, int titleIndex);
