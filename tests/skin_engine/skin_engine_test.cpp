// The engine as the program uses it: mapped from the carried image, called
// through its export. Each test runs in a process of its own, since an
// attached skin stays for the life of the thread.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "module/call_address.h"
#include "module/memory_module.h"
#include "module/win32_module_platform.h"
#include "skin_block_reader.h"
#include "skin_engine/skin_data.h"

extern "C" {
#include "skin_engine/skin_format.h"
}

namespace {

std::uint32_t AddressOf(const void* pointer) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(pointer));
}

// A copy of bytes that ends right before an inaccessible page: a read past
// its end faults instead of passing unseen.
class GuardedBytes {
public:
    explicit GuardedBytes(std::vector<unsigned char> bytes) : size(bytes.size()) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        std::size_t page = info.dwPageSize;
        std::size_t dataPages = (size + page - 1) / page;
        if (dataPages == 0) dataPages = 1;
        base = static_cast<unsigned char*>(
            VirtualAlloc(nullptr, (dataPages + 1) * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base + dataPages * page, page, PAGE_NOACCESS, &old);
        data = base + dataPages * page - size;
        if (size) std::memcpy(data, bytes.data(), size);
    }
    ~GuardedBytes() { VirtualFree(base, 0, MEM_RELEASE); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    unsigned char* data = nullptr;
    std::size_t size;

private:
    unsigned char* base = nullptr;
};

std::vector<unsigned char> BlockBytes(int number) {
    const SkinBlockView& block = SkinBlocks[number - 1];
    return {block.data, block.data + block.length};
}

void PutWord(std::vector<unsigned char>& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

HWND MakeListView(HWND parent) {
    return CreateWindowExW(0, WC_LISTVIEWW, L"", (parent ? WS_CHILD : WS_POPUP) | LVS_REPORT, 0, 0, 200, 100,
                           parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// True when the window's procedure is still its class's own.
bool HasClassProcedure(HWND hwnd) {
    return GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == static_cast<LONG_PTR>(GetClassLongPtrW(hwnd, GCLP_WNDPROC));
}

class SkinEngineTest : public testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_TRUE(engine.LoadFromMemory(SkinEngineImage, static_cast<std::uint32_t>(SkinEngineImage_size)));
        attach = engine.GetExportByName("SkinH_AttachRes");
        ASSERT_NE(attach, 0u);
    }

    std::uint32_t Attach(const unsigned char* data, std::size_t length) {
        return CallAddress(attach, AddressOf(data), static_cast<std::uint32_t>(length));
    }
    std::uint32_t AttachSkin(int number) {
        return Attach(SkinBlocks[number - 1].data, SkinBlocks[number - 1].length);
    }

    MemoryModule engine{SystemModulePlatform()};
    ModuleAddress attach = 0;
};

struct BadBlock {
    const char* name;
    // Damages a copy of block 3; returns the length to pass.
    std::size_t (*damage)(std::vector<unsigned char>& bytes);
    std::uint32_t expected;
};

const BadBlock kBadBlocks[] = {
    {"truncated", [](std::vector<unsigned char>& b) { b.resize(5000); return b.size(); }, SKIN_ERROR_LENGTH},
    {"shorter than a header", [](std::vector<unsigned char>& b) { b.resize(10); return b.size(); },
     SKIN_ERROR_TOO_SHORT},
    {"wrong magic", [](std::vector<unsigned char>& b) { b[3] = 'F'; return b.size(); }, SKIN_ERROR_MAGIC},
    {"length one short", [](std::vector<unsigned char>& b) { return b.size() - 1; }, SKIN_ERROR_LENGTH},
    {"declared length one more",
     [](std::vector<unsigned char>& b) { PutWord(b, SKIN_AT_TOTAL_LENGTH, static_cast<std::uint32_t>(b.size() + 1));
                                          return b.size(); },
     SKIN_ERROR_LENGTH},
    {"later version", [](std::vector<unsigned char>& b) { b[SKIN_AT_VERSION] = 2; return b.size(); },
     SKIN_ERROR_VERSION},
    {"palette offset past the end",
     [](std::vector<unsigned char>& b) {
         PutWord(b, DirectoryEntryOf(b.data(), SKIN_TAG_PALETTE) + 4, static_cast<std::uint32_t>(b.size() - 8));
         return b.size();
     },
     SKIN_ERROR_TABLE},
    {"font count past the end",
     [](std::vector<unsigned char>& b) { PutWord(b, DirectoryEntryOf(b.data(), SKIN_TAG_FONTS) + 8, 0x10000000);
                                          return b.size(); },
     SKIN_ERROR_TABLE},
    {"directory past the end",
     [](std::vector<unsigned char>& b) { PutWord(b, SKIN_AT_DIRECTORY, static_cast<std::uint32_t>(b.size() - 4));
                                          return b.size(); },
     SKIN_ERROR_DIRECTORY},
    {"no palette",
     [](std::vector<unsigned char>& b) { PutWord(b, DirectoryEntryOf(b.data(), SKIN_TAG_PALETTE), 0x58585858);
                                          return b.size(); },
     SKIN_ERROR_MISSING_TABLE},
};

TEST_F(SkinEngineTest, RefusesDamagedBlocksAndChangesNothing) {
    for (const BadBlock& bad : kBadBlocks) {
        SCOPED_TRACE(bad.name);
        std::vector<unsigned char> bytes = BlockBytes(3);
        std::size_t length = bad.damage(bytes);
        GuardedBytes guarded(bytes);
        EXPECT_EQ(Attach(guarded.data, length), bad.expected);
    }
    EXPECT_EQ(Attach(nullptr, 7046), static_cast<std::uint32_t>(SKIN_ERROR_NO_DATA));
    // No hook was installed: a new window keeps its class's procedure.
    HWND list = MakeListView(nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(HasClassProcedure(list));
    DestroyWindow(list);
}

TEST_F(SkinEngineTest, SkinsWindowsCreatedAfterwardsOnItsThreadOnly) {
    ASSERT_EQ(AttachSkin(3), 0u);
    const unsigned char* block = SkinBlocks[2].data;
    HWND list = MakeListView(nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(HasClassProcedure(list));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)), BlockColour(block, SKC_LIST_BG));
    // Colours the program sets afterwards give way to the skin's.
    SendMessageW(list, LVM_SETBKCOLOR, 0, RGB(255, 255, 255));
    SendMessageW(list, LVM_SETTEXTCOLOR, 0, RGB(0, 0, 0));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)), BlockColour(block, SKC_LIST_BG));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)), BlockColour(block, SKC_LIST_TEXT));
    DestroyWindow(list);

    bool otherSubclassed = true;
    COLORREF otherBackground = 0;
    std::thread other([&] {
        HWND own = MakeListView(nullptr);
        if (!own) return;
        otherSubclassed = !HasClassProcedure(own);
        otherBackground = static_cast<COLORREF>(SendMessageW(own, LVM_GETBKCOLOR, 0, 0));
        DestroyWindow(own);
    });
    other.join();
    EXPECT_FALSE(otherSubclassed);
    EXPECT_NE(otherBackground, BlockColour(block, SKC_LIST_BG));
}

TEST_F(SkinEngineTest, ABadBlockAfterAGoodOneKeepsTheGoodSkin) {
    ASSERT_EQ(AttachSkin(3), 0u);
    std::vector<unsigned char> bytes = BlockBytes(4);
    bytes[0] = 'X';
    EXPECT_EQ(Attach(bytes.data(), bytes.size()), static_cast<std::uint32_t>(SKIN_ERROR_MAGIC));
    HWND list = MakeListView(nullptr);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)),
              BlockColour(SkinBlocks[2].data, SKC_LIST_BG));
    DestroyWindow(list);
    // A good block replaces it.
    ASSERT_EQ(AttachSkin(4), 0u);
    list = MakeListView(nullptr);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)),
              BlockColour(SkinBlocks[3].data, SKC_LIST_BG));
    DestroyWindow(list);
}

// Reads one pixel of what a control paints into a memory DC.
COLORREF PrintedPixel(HWND hwnd, int x, int y) {
    RECT client;
    GetClientRect(hwnd, &client);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    COLORREF pixel = GetPixel(memory, x, y);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixel;
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// A top-level window class whose procedure is the default one.
const wchar_t* PlainFrameClass() {
    static const wchar_t* name = [] {
        WNDCLASSW frameClass{};
        frameClass.lpfnWndProc = DefWindowProcW;
        frameClass.hInstance = GetModuleHandleW(nullptr);
        frameClass.lpszClassName = L"PlainFrame";
        frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        RegisterClassW(&frameClass);
        return L"PlainFrame";
    }();
    return name;
}

TEST_F(SkinEngineTest, AFrameWithTabAndButtonStaysUsableAndIsPaintedInTheSkin) {
    ASSERT_EQ(AttachSkin(7), 0u);  // flat colours, no texture
    const unsigned char* block = SkinBlocks[6].data;
    HWND frame = CreateWindowExW(0, PlainFrameClass(), L"frame", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                 10, 10, 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(frame, nullptr);
    HWND tab = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE, 1, 1, 380, 250, frame, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(tab, nullptr);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"page");
    SendMessageW(tab, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    HWND button = CreateWindowExW(0, L"Button", L"go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 60, 80, 29, tab,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(HasClassProcedure(frame));
    EXPECT_FALSE(HasClassProcedure(tab));
    EXPECT_FALSE(HasClassProcedure(button));
    ShowWindow(frame, SW_SHOW);
    UpdateWindow(frame);

    EXPECT_EQ(PrintedPixel(tab, 370, 240), BlockColour(block, SKC_PAGE_BG));
    EXPECT_TRUE(Near(PrintedPixel(button, 20, 3), BlockColour(block, SKC_BUTTON_FACE), 0));

    // Hit testing is the default's: the caption moves, the close box closes.
    RECT window;
    GetWindowRect(frame, &window);
    POINT client = {0, 0};
    ClientToScreen(frame, &client);
    LPARAM onCaption = MAKELPARAM(window.left + 150, (window.top + client.y) / 2);
    EXPECT_EQ(SendMessageW(frame, WM_NCHITTEST, 0, onCaption), HTCAPTION);
    LPARAM onClose = MAKELPARAM(window.right - GetSystemMetrics(SM_CXFRAME) - 6, (window.top + client.y) / 2);
    EXPECT_EQ(SendMessageW(frame, WM_NCHITTEST, 0, onClose), HTCLOSE);
    // Painting the frame and clicking through the button do not get in the way.
    SendMessageW(frame, WM_NCPAINT, 1, 0);
    SendMessageW(frame, WM_NCACTIVATE, FALSE, 0);
    SendMessageW(button, BM_CLICK, 0, 0);
    SendMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(frame));
}

}  // namespace
