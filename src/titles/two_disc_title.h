#pragma once
#include "titles/title.h"

// The title that comes on two discs: it hands over between launcher
// processes and installs from disc 1 wherever that disc is.
class TwoDiscTitle : public Title {
public:
    TwoDiscTitle(int onCd, int titleIndex);
    void loadBoxArt() override;
    const char *gameWindowClass() override;
    const char *discMarkerPath() override;
    ~TwoDiscTitle() override;
    int isAlreadyRunning() override;
    void run() override;
    int isInstalled() override;
    int install() override;
    int play() override;
    const char *promptCaption() override;
    const char *promptText() override;
    const char *retryText() override;
};
