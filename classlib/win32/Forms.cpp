#include "classlib/win32/Forms.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <new>
#include <tuple>

#include "classlib/win32/WideText.h"

namespace classlib {

namespace {

using win32::Widen;

TApplication theApplication;

constexpr UINT kFirstControlId = 100;  // clear of IDOK and IDCANCEL, which Enter and Escape send
constexpr UINT kWmDpiChanged = 0x02E0;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// Functions of newer Windows versions, looked up so the program still starts on
// older ones.
template <class Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT WindowDpi(HWND window) {
    static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window)) return dpi;
    }
    const HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

SIZE WindowSizeForClient(int width, int height, DWORD style, DWORD exStyle, UINT dpi) {
    static const auto adjustForDpi =
        User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, width, height};
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, dpi))
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

RECT PrimaryWorkArea() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcWork;
}

// Japanese proportional faces, best first, for systems that lack the face a form
// asks for (a non-Japanese Windows, Wine).
const wchar_t* const kJapaneseFaces[] = {L"MS PGothic", L"Meiryo UI", L"Yu Gothic UI",
                                         L"IPAPGothic", L"VL PGothic", L"Noto Sans CJK JP"};

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// Whether a face is installed for a character set; asks for that family alone,
// which is much cheaper than listing every font.
bool IsInstalled(HDC dc, const std::wstring& face, BYTE charset) {
    LOGFONTW query{};
    query.lfCharSet = charset;
    lstrcpynW(query.lfFaceName, face.c_str(), LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(dc, &query, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// The face to use for `wanted`: the face itself where it is installed and
// proportional; otherwise, for Japanese text, the first installed proportional
// Japanese face. The font mapper's own choice cannot be trusted: a missing face
// may silently come back as a fixed-pitch one, which makes every text wider.
std::wstring ChooseFace(const std::wstring& wanted, BYTE charset) {
    static std::map<std::pair<std::wstring, BYTE>, std::wstring> chosen;
    const auto known = chosen.find({wanted, charset});
    if (known != chosen.end()) return known->second;

    std::vector<std::wstring> candidates{wanted};
    if (charset == SHIFTJIS_CHARSET) candidates.insert(candidates.end(), std::begin(kJapaneseFaces), std::end(kJapaneseFaces));

    const HDC dc = GetDC(nullptr);
    std::wstring face = wanted;
    for (const auto& candidate : candidates) {
        if (!IsInstalled(dc, candidate, charset)) continue;
        LOGFONTW font{};
        font.lfHeight = -15;
        font.lfCharSet = charset;
        lstrcpynW(font.lfFaceName, candidate.c_str(), LF_FACESIZE);
        const HFONT handle = CreateFontIndirectW(&font);
        const HGDIOBJ old = SelectObject(dc, handle);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        DeleteObject(handle);
        if (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) {  // set means variable pitch
            face = candidate;
            break;
        }
    }
    ReleaseDC(nullptr, dc);
    chosen[{wanted, charset}] = face;
    return face;
}

HFONT MakeFont(const FontDefinition& wanted, UINT dpi, int designDpi) {
    LOGFONTW font{};
    font.lfHeight = MulDiv(wanted.height, static_cast<int>(dpi), designDpi);
    font.lfWeight = wanted.bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = static_cast<BYTE>(wanted.charset);
    font.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = ChooseFace(Widen(wanted.name), font.lfCharSet);
    lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

// The extent of a single line of text in a font.
SIZE TextSize(HFONT font, const std::wstring& text) {
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    size.cy = metrics.tmHeight;
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}

HICON LoadMainIcon(int metricX, int metricY) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON,
                                         GetSystemMetrics(metricX), GetSystemMetrics(metricY), LR_SHARED));
}

std::string ResourceText(const std::string& name) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC resource = FindResourceW(module, Widen(name).c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw EFormDefinitionError("The form definition " + name + " is missing from the program");
    return std::string(static_cast<const char*>(data), SizeofResource(module, resource));
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

// Keeps exceptions from unwinding through the system's frames: whatever escapes a
// handler is reported and the message counts as handled.
template <class Body>
LRESULT Guarded(Body body) {
    try {
        return body();
    } catch (const std::exception& error) {
        Application->ShowException(error);
    } catch (...) {
        Application->ShowException(Exception("Unknown error"));
    }
    return 0;
}

}  // namespace

TApplication* const Application = &theApplication;

// ---------------------------------------------------------------------------- TForm

TForm::~TForm() {
    if (handle_) DestroyWindow(handle_);
    for (HFONT font : fonts_) DeleteObject(font);
}

std::string TForm::DefinitionText(const std::string& className) const { return ResourceText(Upper(className)); }

void TForm::Create(const std::string& className, HWND owner) {
    definition_ = ReadFormDefinition(DefinitionText(className));
    if (definition_.className != className)
        throw EFormDefinitionError("The form definition of " + className + " declares " + definition_.className);

    // Controls, bound to the class's fields and handlers by name.
    for (const auto& controlDefinition : definition_.controls) {
        std::unique_ptr<TControl> control;
        if (controlDefinition.kind == TLabel::kKind) control = std::make_unique<TLabel>();
        else control = std::make_unique<TButton>();
        control->definition_ = controlDefinition;
        const auto field = std::find_if(fields_.begin(), fields_.end(),
                                        [&](const Field& f) { return f.name == controlDefinition.name; });
        if (field != fields_.end()) {
            if (field->kind != controlDefinition.kind)
                throw EFormDefinitionError(className + "." + field->name + " is a " + field->kind +
                                           ", but the form definition makes it a " + controlDefinition.kind);
            field->assign(control.get());
        }
        if (!controlDefinition.onClick.empty()) {
            const auto handler = std::find_if(handlers_.begin(), handlers_.end(),
                                              [&](const NamedHandler& h) { return h.name == controlDefinition.onClick; });
            if (handler == handlers_.end())
                throw EFormDefinitionError("Line " + std::to_string(controlDefinition.line) + " of the form definition: " +
                                           className + " has no handler " + controlDefinition.onClick);
            static_cast<TButton&>(*control).OnClick = handler->event;
        }
        controls_.push_back(std::move(control));
    }
    for (const auto& field : fields_) {
        const bool defined = std::any_of(controls_.begin(), controls_.end(),
                                         [&](const auto& c) { return c->Name() == field.name; });
        if (!defined) throw EFormDefinitionError(className + "." + field.name + " is missing from its form definition");
    }

    // The window: a dialog-like class, so that the dialog manager handles Tab,
    // Enter and the focus as in any dialog box.
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const std::wstring windowClass = Widen(className);
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(instance, windowClass.c_str(), &wc)) {
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WindowProc;
        wc.cbWndExtra = DLGWINDOWEXTRA;
        wc.hInstance = instance;
        wc.hIcon = LoadMainIcon(SM_CXICON, SM_CYICON);
        wc.hIconSm = LoadMainIcon(SM_CXSMICON, SM_CYSMICON);
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = windowClass.c_str();
        if (!RegisterClassExW(&wc)) throw Exception("Cannot register the window class " + className);
    }
    // Made hidden on the primary monitor, where it will show, so that it takes that
    // monitor's density before it is laid out.
    const RECT work = PrimaryWorkArea();
    handle_ = CreateWindowExW(kDialogExStyle, windowClass.c_str(), Widen(definition_.caption).c_str(), kDialogStyle,
                              (work.left + work.right) / 2, (work.top + work.bottom) / 2, 0, 0, owner, nullptr,
                              instance, this);
    if (!handle_) throw Exception("Cannot create the window " + definition_.name);

    UINT id = kFirstControlId;
    for (auto& control : controls_) {
        const bool button = control->definition_.kind == TButton::kKind;
        const DWORD style = WS_CHILD | WS_VISIBLE |
                            (button ? BS_PUSHBUTTON | WS_TABSTOP : SS_LEFTNOWORDWRAP | SS_NOPREFIX);
        control->handle_ = CreateWindowExW(0, button ? L"BUTTON" : L"STATIC", Widen(control->definition_.caption).c_str(),
                                           style, 0, 0, 0, 0, handle_, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id++)),
                                           instance, nullptr);
        if (!control->handle_) throw Exception("Cannot create the control " + control->Name());
    }
    // Keyboard order follows TabOrder: the dialog manager goes by window order.
    std::vector<TControl*> tabStops;
    for (auto& control : controls_)
        if (control->definition_.tabOrder >= 0) tabStops.push_back(control.get());
    std::stable_sort(tabStops.begin(), tabStops.end(),
                     [](TControl* a, TControl* b) { return a->definition_.tabOrder < b->definition_.tabOrder; });
    for (TControl* control : tabStops)
        SetWindowPos(control->handle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // A fixed dialog frame: nothing to size, minimise or maximise.
    const HMENU systemMenu = GetSystemMenu(handle_, FALSE);
    for (UINT command : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE}) DeleteMenu(systemMenu, command, MF_BYCOMMAND);

    Layout(WindowDpi(handle_), nullptr);
}

// Lays everything out for a density, measures in the definition being for its
// PixelsPerInch and labels taking the size of their text in the font actually
// used, then puts the window at `suggested`'s top left, or centred on the primary
// monitor's work area, in one move.
void TForm::Layout(UINT dpi, const RECT* suggested) {
    if (layingOut_) return;  // a density change caused by our own move
    layingOut_ = true;
    std::vector<HFONT> oldFonts;
    oldFonts.swap(fonts_);
    std::map<std::tuple<std::string, int, int, bool>, HFONT> fontFor;
    auto scale = [&](int value) { return MulDiv(value, static_cast<int>(dpi), definition_.pixelsPerInch); };

    for (auto& control : controls_) {
        const FontDefinition& fontDefinition = control->definition_.font;
        HFONT& font = fontFor[{fontDefinition.name, fontDefinition.height, fontDefinition.charset, fontDefinition.bold}];
        if (!font) {
            font = MakeFont(fontDefinition, dpi, definition_.pixelsPerInch);
            fonts_.push_back(font);
        }
        SendMessageW(control->handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SIZE size{scale(control->definition_.width), scale(control->definition_.height)};
        if (control->definition_.kind == TLabel::kKind) size = TextSize(font, Widen(control->definition_.caption));
        SetWindowPos(control->handle_, nullptr, scale(control->definition_.left), scale(control->definition_.top), size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    const int clientWidth = scale(definition_.clientWidth), clientHeight = scale(definition_.clientHeight);
    SIZE window = WindowSizeForClient(clientWidth, clientHeight,
                                      static_cast<DWORD>(GetWindowLongPtrW(handle_, GWL_STYLE)),
                                      static_cast<DWORD>(GetWindowLongPtrW(handle_, GWL_EXSTYLE)), dpi);
    auto place = [&] {
        const RECT work = PrimaryWorkArea();
        const POINT at = suggested ? POINT{suggested->left, suggested->top}
                                   : POINT{work.left + (work.right - work.left - window.cx) / 2,
                                           work.top + (work.bottom - work.top - window.cy) / 2};
        SetWindowPos(handle_, nullptr, at.x, at.y, window.cx, window.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place();
    // The frame need not follow the density (some systems scale only the client
    // area): make up any difference so that the client area is exact.
    RECT client;
    GetClientRect(handle_, &client);
    if (client.right != clientWidth || client.bottom != clientHeight) {
        window.cx += clientWidth - client.right;
        window.cy += clientHeight - client.bottom;
        place();
    }
    for (HFONT font : oldFonts) DeleteObject(font);
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    layingOut_ = false;
}

void TForm::Show() {
    ShowWindow(handle_, SW_SHOWNORMAL);
    UpdateWindow(handle_);
    // Focus the first control in keyboard order through the dialog manager, so it
    // also becomes the button that Enter presses.
    if (const HWND first = GetNextDlgTabItem(handle_, nullptr, FALSE))
        SendMessageW(handle_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
}

LRESULT CALLBACK TForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form || form->handle_ != window) return DefDlgProcW(window, message, wParam, lParam);
    return Guarded([&] { return form->HandleMessage(message, wParam, lParam); });
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // Only clicks of our own buttons; Enter and Escape arrive as IDOK and
        // IDCANCEL, which no control here answers to.
        if (HIWORD(wParam) == BN_CLICKED && lParam) {
            for (auto& control : controls_) {
                if (control->handle_ == reinterpret_cast<HWND>(lParam) && control->definition_.kind == TButton::kKind) {
                    auto& button = static_cast<TButton&>(*control);
                    if (button.OnClick) button.OnClick(&button);
                    break;
                }
            }
        }
        return 0;
    case WM_CLOSE:  // close box, system menu, Alt+F4: no question asked
        Application->Terminate();
        return 0;
    case kWmDpiChanged:
        Layout(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    default:
        return DefDlgProcW(handle_, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------------- TApplication

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // A window of no size that owns the forms and the taskbar button, so that the
    // button reads the application's title while the main form has a caption of
    // its own.
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadMainIcon(SM_CXICON, SM_CYICON);
    wc.hIconSm = LoadMainIcon(SM_CXSMICON, SM_CYSMICON);
    wc.lpszClassName = L"TApplication";
    RegisterClassExW(&wc);
    const RECT work = PrimaryWorkArea();
    handle_ = CreateWindowExW(WS_EX_APPWINDOW, L"TApplication", title_.c_str(), WS_POPUP | WS_SYSMENU,
                              (work.left + work.right) / 2, (work.top + work.bottom) / 2, 0, 0, nullptr, nullptr,
                              instance, nullptr);
    if (!handle_) throw Exception("Cannot create the application window");
}

void TApplication::SetTitle(const std::string& title) {
    title_ = Widen(title);
    if (handle_) SetWindowTextW(handle_, title_.c_str());
}

TForm* TApplication::AddForm(std::unique_ptr<TForm> form, const std::string& className) {
    form->DeclareMembers();
    form->Create(className, handle_);
    forms_.push_back(std::move(form));
    return forms_.back().get();
}

int TApplication::Run() {
    if (TForm* main = MainForm()) {
        ShowWindow(handle_, SW_SHOWNOACTIVATE);
        main->Show();
    }
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TForm* main = MainForm(); main && IsDialogMessageW(main->Handle(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // MainForm() must not hand out a form that is being destroyed.
    auto forms = std::move(forms_);
    forms.clear();
    DestroyWindow(handle_);
    handle_ = nullptr;
    return static_cast<int>(message.wParam);
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::ShowException(const std::exception& error) noexcept {
    const HWND owner = MainForm() ? MainForm()->Handle() : nullptr;
    try {
        const std::string message =
            dynamic_cast<const std::bad_alloc*>(&error) ? "メモリが不足しています" : std::string(error.what());
        MessageBoxW(owner, Widen(ErrorReportText(message)).c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
    } catch (...) {
        // Nothing may leave here: it runs inside window procedures. Short of
        // memory even for the text, say so with what needs none.
        MessageBoxW(owner, L"メモリが不足しています.", title_.c_str(), MB_OK | MB_ICONERROR);
    }
}

LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Guarded([&]() -> LRESULT {
        switch (message) {
        case WM_ACTIVATE:
            // Activated from its taskbar button: pass it on to the main form, or to
            // the message box that the form is waiting on.
            if (LOWORD(wParam) != WA_INACTIVE && Application->MainForm()) {
                const HWND popup = GetLastActivePopup(Application->MainForm()->Handle());
                if (popup && IsWindowVisible(popup)) SetActiveWindow(popup);
                return 0;
            }
            break;
        case WM_CLOSE:  // Close on the taskbar button's menu
            Application->Terminate();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    });
}

}  // namespace classlib
