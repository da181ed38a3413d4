// Link-time stand-ins for the menu's pointer and key handling, so that the
// menu window builds and runs before the interaction code exists. Delete
// this file when src/menu/interaction.cpp provides these functions.
#include "menu/menu.h"
#include "titles/title.h"

void Title::drawButtonFrame(int, int) {}
void Title::unfocusButton(int) {}
void Title::focusOnButton(int) {}
void Title::pressFocusedButton() {}
void Title::activateLitButton() {}
void Title::trackPointer(int, int) {}
int Title::hitButton(int, int, int) { return 0; }
int Title::hitFocusedButton(int, int) { return 0; }
int Title::hitLitButton(int, int) { return 0; }
int Title::hitHotSpot(int, int, int *) { return 0; }

void handleMenuKey(WPARAM) {}
void openInfoDialog(int) {}
