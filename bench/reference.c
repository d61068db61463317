/* The floor for the launch benchmark: the main window's layout done with nothing
   but Win32 calls, so any cost above it belongs to the program's own machinery.
   Built twice: bare, and as reference_styled with the program's manifest and
   REFERENCE_COMMON_CONTROLS, to tell the manifest's cost from the program's. */
#include <windows.h>
#ifdef REFERENCE_COMMON_CONTROLS
#include <commctrl.h>
#endif

#define CLIENT_WIDTH 770
#define CLIENT_HEIGHT 202
#define ID_CONNECT 1
#define ID_CLOSE 2

static HFONT labelFont;

static LRESULT CALLBACK ReferenceWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_CLOSE)
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

static void AddControl(HWND parent, const wchar_t *cls, const wchar_t *text, DWORD style,
                       int x, int y, int w, int h, int id)
{
    HWND control = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h,
                                   parent, (HMENU)(INT_PTR)id, GetModuleHandleW(NULL), NULL);
    SendMessageW(control, WM_SETFONT, (WPARAM)labelFont, FALSE);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev, LPSTR cmdLine, int show)
{
    (void)prev;
    (void)cmdLine;
#ifdef REFERENCE_COMMON_CONTROLS
    /* As the program does at start; with the manifest this is what loads
       Common Controls 6 and its classes. */
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
#endif
    WNDCLASSEXW wc = {0};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ReferenceWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"ReferenceWindow";
    if (!RegisterClassExW(&wc))
        return 1;

    /* Negative height: character height, as the form gives it. A missing face is
       left to the font mapper. */
    labelFont = CreateFontW(-15, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, L"IPAPGothic");

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    RECT frame = {0, 0, CLIENT_WIDTH, CLIENT_HEIGHT};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

    HWND hwnd = CreateWindowExW(exStyle, wc.lpszClassName, L"Reference window", style,
                                x, y, width, height, NULL, NULL, instance, NULL);
    if (!hwnd)
        return 1;

    AddControl(hwnd, L"STATIC", L"製品版Velkarn解析ソフトがインストールされ、かつインターネット接続されたパソコンでご使用ください。",
               SS_LEFT, 16, 16, 722, 15, 0);
    AddControl(hwnd, L"STATIC", L"バージョンアップのためのサイトに接続します。", SS_LEFT, 16, 48, 309, 15, 0);
    AddControl(hwnd, L"STATIC", L"表示された手順でバージョンアップ作業を行ってください。", SS_LEFT, 16, 80, 382, 15, 0);
    AddControl(hwnd, L"BUTTON", L"接続", BS_PUSHBUTTON | WS_TABSTOP, 16, 113, 75, 25, ID_CONNECT);
    AddControl(hwnd, L"BUTTON", L"閉じる", BS_PUSHBUTTON | WS_TABSTOP, 680, 160, 75, 25, ID_CLOSE);

    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        if (!IsDialogMessageW(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    DeleteObject(labelFont);
    return (int)msg.wParam;
}
