#include "runtime/window_runtime.h"

#include <commctrl.h>
#include <ole2.h>

#include <atomic>
#include <mutex>

#include "runtime/control_factory.h"
#include "runtime/list_redraw.h"
#include "runtime/tab_pages.h"
#include "runtime/window_state.h"

namespace {

constexpr char kWindowClassName[] = "QingheRuntimeWindow";
constexpr int kFirstControlId = 1000;

std::atomic<int> openWindows{0};

void InitCommonControls6() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
}

// The window's record lives as long as the window (and as long as any
// Window or Control handle that still refers to it).
WindowState* StateOf(HWND hwnd) {
    auto* holder = reinterpret_cast<std::shared_ptr<WindowState>*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return holder ? holder->get() : nullptr;
}

ControlState* ControlByHandle(WindowState& window, HWND hwnd) {
    if (!hwnd) return nullptr;
    for (auto& control : window.controls) {
        if (control->hwnd.load() == hwnd) return control.get();
    }
    return nullptr;
}

ControlState* ControlById(WindowState& window, UINT_PTR id) {
    for (auto& control : window.controls) {
        if (static_cast<UINT_PTR>(control->id) == id) return control.get();
    }
    return nullptr;
}

void RunHandler(const ControlState& control, ControlEvent event) {
    if (control.event != event || !control.handler) return;
    // A copy: the handler may run events of its own that touch the record.
    std::function<void()> handler = control.handler;
    handler();
}

// Messages that the controls send to their parent, the tab control, and
// that the runtime answers. True when handled.
bool HandleControlMessage(WindowState& window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->code != static_cast<UINT>(NM_DBLCLK)) return false;
            if (ControlState* control = ControlByHandle(window, header->hwndFrom)) {
                RunHandler(*control, ControlEvent::DoubleClicked);
            }
            result = 0;
            return true;
        }
        case WM_COMMAND: {
            if (HIWORD(wParam) != BN_CLICKED || !lParam) return false;
            ControlState* control = ControlByHandle(window, reinterpret_cast<HWND>(lParam));
            if (!control || control->kind != ControlKind::PushButton) return false;
            RunHandler(*control, ControlEvent::Clicked);
            result = 0;
            return true;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT: {
            ControlState* control = ControlByHandle(window, reinterpret_cast<HWND>(lParam));
            if (!control) return false;
            HDC dc = reinterpret_cast<HDC>(wParam);
            if (control->kind == ControlKind::Label) {
                SetBkMode(dc, TRANSPARENT);
                result = reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
                return true;
            }
            if (control->kind == ControlKind::Edit) {
                // Read-only edits ask with WM_CTLCOLORSTATIC: still black on white.
                SetTextColor(dc, RGB(0, 0, 0));
                SetBkColor(dc, RGB(255, 255, 255));
                result = reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
                return true;
            }
            return false;
        }
        default:
            return false;
    }
}

// The tab control's own procedure, behind ours. The tab is replaced by hand
// rather than through the common controls' subclass chain: that chain looks
// up a window property on every message, which under Wine is a round trip
// to the window server, and every row added to a list sends its parent, the
// tab, a few notifications.
LRESULT CALLBACK TabProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<WindowState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    WNDPROC previous = window ? window->tabPreviousProc.load() : nullptr;
    if (!previous) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        return CallWindowProcW(previous, hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (HandleControlMessage(*window, message, wParam, lParam, result)) return result;
    return CallWindowProcW(previous, hwnd, message, wParam, lParam);
}

// Puts TabProc in front of the tab control's procedure. The W functions keep
// the tab a Unicode window, as the common controls made it. The procedure
// behind is kept per window, since each tab's may differ.
void HandleTabMessages(HWND tab, WindowState& window) {
    window.tabPreviousProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(tab, GWLP_WNDPROC));
    SetWindowLongPtrW(tab, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&window));
    SetWindowLongPtrW(tab, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TabProc));
}

void RefreshLabel(ControlState& label) {
    HWND hwnd = label.hwnd.load();
    if (!hwnd || !IsWindowVisible(hwnd)) return;
    // A transparent label leaves its old text behind unless the parent
    // repaints the area first.
    HWND parent = GetParent(hwnd);
    RECT rect;
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    RedrawWindow(parent, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowState* window = StateOf(hwnd);
    if (!window) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (window->tab && header->hwndFrom == window->tab->hwnd.load() &&
                header->code == static_cast<UINT>(TCN_SELCHANGE)) {
                ShowCurrentPage(*window);
                return 0;
            }
            break;
        }
        case kSuspendListRedrawMessage:
            SuspendListRedraw(hwnd, *reinterpret_cast<ControlState*>(lParam));
            return 0;
        case kSelectPageMessage:
            SelectPage(*window, static_cast<int>(wParam));
            return 0;
        case kRefreshLabelMessage:
            RefreshLabel(*reinterpret_cast<ControlState*>(lParam));
            return 0;
        case WM_TIMER:
            if (ControlState* list = ControlById(*window, wParam)) {
                OnListRedrawTimer(hwnd, *list);
                return 0;
            }
            break;
        case WM_DESTROY:
            if (--openWindows == 0) PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY: {
            for (auto& control : window->controls) control->hwnd = nullptr;
            if (window->tab) window->tab->hwnd = nullptr;
            for (HFONT font : window->ownedFonts) DeleteObject(font);
            window->ownedFonts.clear();
            window->hwnd = nullptr;
            auto* holder = reinterpret_cast<std::shared_ptr<WindowState>*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            delete holder;
            return DefWindowProcA(hwnd, message, wParam, lParam);
        }
        default:
            break;
    }
    LRESULT result = 0;
    if (HandleControlMessage(*window, message, wParam, lParam, result)) return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

ATOM RegisterWindowClass() {
    static ATOM atom = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kWindowClassName;
        return RegisterClassExA(&wc);
    }();
    return atom;
}

bool IsRuntimeWindow(HWND hwnd) {
    return hwnd && GetClassLongA(hwnd, GCW_ATOM) == RegisterWindowClass();
}

}  // namespace

bool StartRuntime() {
    InitCommonControls6();
    HRESULT hr = OleInitialize(nullptr);
    return SUCCEEDED(hr);
}

Window LoadWindow(const WindowForm& form) {
    InitCommonControls6();
    if (!RegisterWindowClass()) return Window();

    auto state = std::make_shared<WindowState>();
    state->name = form.name;
    state->onCreated = form.onCreated;

    int x = form.x, y = form.y;
    if (form.centred) {
        x = (GetSystemMetrics(SM_CXSCREEN) - form.width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - form.height) / 2;
    }
    // Fixed border with caption, system menu and minimise box only.
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    HWND hwnd = CreateWindowExA(0, kWindowClassName, form.title.c_str(), style, x, y, form.width, form.height,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) return Window();
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new std::shared_ptr<WindowState>(state)));
    state->hwnd = hwnd;
    ++openWindows;

    state->tab = CreateTabControl(hwnd, form.tab, *state);
    HWND tab = state->tab->hwnd.load();
    if (tab) {
        HandleTabMessages(tab, *state);
        int id = kFirstControlId;
        for (const ControlForm& control : form.controls) {
            state->controls.push_back(CreateFormControl(tab, control, id++, *state));
        }
        ShowCurrentPage(*state);
    }

    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    Window window(state);
    if (state->onCreated) {
        std::function<void(const Window&)> onCreated = state->onCreated;
        onCreated(window);
    }
    return window;
}

void UnloadWindow(const Window& window) {
    HWND hwnd = window.Handle();
    if (hwnd && IsWindow(hwnd)) DestroyWindow(hwnd);
}

int OpenWindowCount() { return openWindows.load(); }

void RunMessageLoop() {
    if (openWindows.load() == 0) return;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // Tab and arrow keys move between the controls of the window.
        HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (IsRuntimeWindow(root) && IsDialogMessageA(root, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
