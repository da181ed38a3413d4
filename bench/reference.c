// The least a program can do to show the menu picture: a full-screen black
// pop-up that blits one 621 x 431 8-bit picture from its resources at the
// centre of the screen and waits for messages. The benchmark measures the
// launcher's start-up, memory and idle time against this program.
#include <windows.h>
#include "resource.h"

static const BITMAPINFOHEADER *picture;

static void paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (picture) {
        DWORD colours = picture->biClrUsed ? picture->biClrUsed : 1u << picture->biBitCount;
        const BYTE *bits = (const BYTE *)picture + picture->biSize + colours * sizeof(RGBQUAD);
        int width = picture->biWidth, height = picture->biHeight;
        SetDIBitsToDevice(dc, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                          (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                          0, 0, 0, height, bits, (const BITMAPINFO *)picture, DIB_RGB_COLORS);
    }
    EndPaint(window, &paint);
}

static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)previous;
    (void)commandLine;
    (void)show;
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(IDB_MENU), (LPCSTR)RT_BITMAP);
    if (found)
        picture = LockResource(LoadResource(instance, found));

    WNDCLASSA windowClass = { 0 };
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    windowClass.lpszClassName = "QuibReference";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  NULL, NULL, instance, NULL);
    if (!window)
        return 1;
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

// Linked like the launcher, without the C runtime's start-up code.
#ifdef __i386__
__attribute__((force_align_arg_pointer))
#endif
void WinMainCRTStartup(void)
{
    ExitProcess(WinMain(GetModuleHandleA(NULL), NULL, NULL, SW_SHOWDEFAULT));
}
