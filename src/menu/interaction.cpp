// Pointer and keyboard handling of the menu: the focus and press state of
// the two menu buttons, their animation and actions, the cursor shape over
// the product boxes and the information dialog behind each box.
//
// The state is the pair (focusButton, litButton). A lit button is always
// the focused one; litButton is BUTTON_NONE while nothing is held down.
#include <windows.h>
#include "launcher/globals.h"
#include "launcher/system.h"
#include "menu/menu.h"
#include "resource.h"
#include "titles/title.h"

// The dialog template of each product box, by HotSpot index.
static const WORD infoDialogIds[8] = {
    IDD_INFO_VOL1, IDD_INFO_VOL2, IDD_INFO_VOL3, IDD_INFO_JOCKO,
    IDD_INFO_GLIM, IDD_INFO_REELIES, IDD_INFO_WHIRL, IDD_INFO_NODIAL,
};

enum {
    KEY_PRESS_PAUSE = 250,   // pressed look before a key activates a button
    ACTIVATE_PAUSE = 500,    // activated look before the button's action
};

// A point on an edge is outside.
static int strictlyInside(const RECT &rect, int x, int y)
{
    return rect.left < x && x < rect.right && rect.top < y && y < rect.bottom;
}

void Title::drawButtonFrame(int button, int frame)
{
    if (button != BUTTON_PLAY && button != BUTTON_QUIT)
        return;
    MenuButton &b = buttons[button];
    drawIntoBackground(b.buttonFrames[frame], b.buttonPos.x, b.buttonPos.y);
    // Painting blits the whole picture; no erasing, so no black flashes.
    InvalidateRect(g_mainWindow, &b.buttonRect, FALSE);
}

void Title::unfocusButton(int button)
{
    drawButtonFrame(button, FRAME_NORMAL);
    focusButton = BUTTON_NONE;
    litButton = BUTTON_NONE;
}

void Title::focusOnButton(int button)
{
    drawButtonFrame(button, FRAME_FOCUSED);
    focusButton = button;
    litButton = BUTTON_NONE;
}

void Title::pressFocusedButton()
{
    drawButtonFrame(focusButton, FRAME_PRESSED);
    litButton = focusButton;
}

// Runs the lit button's action after showing its activated look. On
// success the menu closes; on failure the button is focused again, the
// failed operation having already said what went wrong.
void Title::activateLitButton()
{
    drawButtonFrame(litButton, FRAME_ACTIVATED);
    UpdateWindow(g_mainWindow);
    pauseShowingFrame(ACTIVATE_PAUSE);

    int succeeded = 0;
    if (focusButton == BUTTON_PLAY)
        succeeded = installed ? play() : install();
    else if (focusButton == BUTTON_QUIT)
        succeeded = 1;

    if (succeeded) {
        SendMessageA(g_mainWindow, WM_CLOSE, 0, 0);
        return;
    }
    litButton = BUTTON_NONE;
    drawButtonFrame(focusButton, FRAME_FOCUSED);
}

void Title::trackPointer(int x, int y)
{
    // A held button that the pointer leaves springs back and stays unlit,
    // even if the pointer returns before the mouse button is released.
    if (litButton != BUTTON_NONE && !hitButton(x, y, litButton)) {
        drawButtonFrame(focusButton, FRAME_FOCUSED);
        litButton = BUTTON_NONE;
    }

    if (hitButton(x, y, BUTTON_PLAY)) {
        if (focusButton != BUTTON_PLAY) {
            unfocusButton(focusButton);
            focusOnButton(BUTTON_PLAY);
        }
    } else if (hitButton(x, y, BUTTON_QUIT) && focusButton != BUTTON_QUIT) {
        unfocusButton(focusButton);
        focusOnButton(BUTTON_QUIT);
    }

    if (hitHotSpot(x, y, NULL))
        SetCursor(LoadCursorA(g_instance, MAKEINTRESOURCEA(IDC_QUESTION)));
    else
        SetCursor(LoadCursorA(NULL, IDC_ARROW));
}

// The box art is a second face of the Play/Install button.
int Title::hitButton(int x, int y, int button)
{
    if (button == BUTTON_PLAY)
        return strictlyInside(buttons[0].buttonRect, x, y) || strictlyInside(boxArtRect, x, y);
    if (button == BUTTON_QUIT)
        return strictlyInside(buttons[1].buttonRect, x, y);
    return 0;
}

int Title::hitFocusedButton(int x, int y)
{
    return hitButton(x, y, focusButton);
}

int Title::hitLitButton(int x, int y)
{
    return hitButton(x, y, litButton);
}

int Title::hitHotSpot(int x, int y, int *index)
{
    for (int i = 0; i < HOTSPOT_COUNT; i++) {
        if (strictlyInside(hotSpots[i], x, y)) {
            if (index)
                *index = i;
            return 1;
        }
    }
    return 0;
}

// Tab and Right move the focus to the other button, Play/Install first
// when no button has it.
static void moveFocusToNextButton(Title *title)
{
    int next = title->focusButton == BUTTON_PLAY ? BUTTON_QUIT : BUTTON_PLAY;
    title->unfocusButton(title->focusButton);
    title->focusOnButton(next);
}

void handleMenuKey(WPARAM key)
{
    Title *title = g_title;
    switch (key) {
    case VK_RETURN:
    case VK_SPACE:
        title->pressFocusedButton();
        UpdateWindow(g_mainWindow);
        pauseShowingFrame(KEY_PRESS_PAUSE);
        title->activateLitButton();
        break;
    case VK_ESCAPE:
        SendMessageA(g_mainWindow, WM_CLOSE, 0, 0);
        break;
    case VK_TAB:
    case VK_RIGHT:
        moveFocusToNextButton(title);
        break;
    default:
        break;
    }
}

void openInfoDialog(int hotSpot)
{
    DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(infoDialogIds[hotSpot]),
                    g_mainWindow, infoDialogProc, 0);
}
