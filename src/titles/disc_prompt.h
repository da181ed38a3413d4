// Asking for a disc and waiting for it to appear in some drive.
#pragma once

// 1 when path exists on some drive (its first character then names that
// drive), 0 when the user gave up.
int waitForDisc(int firstDialogId, int retryDialogId, char *path);
