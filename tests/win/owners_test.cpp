// The owners of Windows resources: each gives its resource back when it goes, which every
// test here sees from outside, through the system's own view of the resource.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <thread>

#include "driver.hpp"
#include "win32/owners.hpp"

namespace {

// Whether the folder can be opened by one handle alone: not while a search holds it open.
bool openAlone(const std::wstring& folder) {
    const win32::UniqueHandle alone =
        win32::ownHandle(CreateFileW(folder.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return static_cast<bool>(alone);
}

// A COM object that counts its references, so that a test sees every AddRef and Release.
class Counted final : public IUnknown {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (id != IID_IUnknown) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    ULONG references = 0;
};

}  // namespace

TEST(Owners, KernelHandleIsClosed) {
    HANDLE raw = nullptr;
    {
        const win32::UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(event);
        raw = event.get();
        DWORD flags = 0;
        EXPECT_TRUE(GetHandleInformation(raw, &flags));
    }
    DWORD flags = 0;
    const BOOL open = GetHandleInformation(raw, &flags);
    const DWORD error = GetLastError();
    EXPECT_FALSE(open) << "the event is still open";
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(win32::ownHandle(INVALID_HANDLE_VALUE)) << "a failed open owns nothing";
}

TEST(Owners, MutexIsHandedBack) {
    const win32::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, nullptr));
    ASSERT_TRUE(mutex);
    // A mutex belongs to a thread: another thread asks for it while this one still runs.
    const auto elsewhere = [&] {
        DWORD result = WAIT_FAILED;
        std::thread other([&] {
            result = WaitForSingleObject(mutex.get(), 0);
            if (result == WAIT_OBJECT_0) ReleaseMutex(mutex.get());
        });
        other.join();
        return result;
    };
    ASSERT_EQ(WaitForSingleObject(mutex.get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    {
        const win32::HeldMutex held(mutex.get());
        EXPECT_EQ(elsewhere(), static_cast<DWORD>(WAIT_TIMEOUT)) << "the owner holds it";
    }
    EXPECT_EQ(elsewhere(), static_cast<DWORD>(WAIT_OBJECT_0)) << "the mutex is still held";
}

TEST(Owners, FindHandleIsClosed) {
    driver::TempFolder temp;
    temp.write(L"one.txt", "1");
    ASSERT_TRUE(openAlone(temp.path()));
    {
        WIN32_FIND_DATAW found;
        const win32::UniqueFindHandle find =
            win32::ownFindHandle(FindFirstFileW((temp.path() + L"\\*").c_str(), &found));
        ASSERT_TRUE(find);
        EXPECT_FALSE(openAlone(temp.path())) << "a search holds its folder open";
    }
    EXPECT_TRUE(openAlone(temp.path())) << "the search still holds the folder";
    EXPECT_FALSE(win32::ownFindHandle(INVALID_HANDLE_VALUE)) << "a failed search owns nothing";
}

TEST(Owners, GdiObjectIsDeleted) {
    LOGFONTW font{};
    font.lfHeight = -11;
    const struct {
        const char* kind;
        HGDIOBJ object;
        DWORD type;
    } cases[] = {
        {"pen", CreatePen(PS_SOLID, 1, RGB(1, 2, 3)), OBJ_PEN},
        {"brush", CreateSolidBrush(RGB(1, 2, 3)), OBJ_BRUSH},
        {"font", CreateFontIndirectW(&font), OBJ_FONT},
        {"bitmap", CreateBitmap(4, 4, 1, 1, nullptr), OBJ_BITMAP},
    };
    for (const auto& c : cases) {
        ASSERT_NE(c.object, nullptr) << c.kind;
        { const win32::UniqueGdi owner(c.object); }
        EXPECT_EQ(GetObjectType(c.object), 0u) << "the " << c.kind << " is still there";
    }
    // The typed owner of the platform's fonts.
    HGDIOBJ raw = nullptr;
    {
        const win32::UniqueFont owner(CreateFontIndirectW(&font));
        raw = owner.get();
        EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(GetObjectType(raw), 0u) << "the font is still there";
}

TEST(Owners, MemoryDcIsDeleted) {
    HDC raw = nullptr;
    {
        const win32::UniqueDC dc(CreateCompatibleDC(nullptr));
        ASSERT_TRUE(dc);
        raw = dc.get();
        EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_MEMDC));
    }
    EXPECT_EQ(GetObjectType(raw), 0u) << "the DC is still there";
}

TEST(Owners, WindowDcIsGivenBack) {
    HDC raw = nullptr;
    {
        const win32::ClientDC screen(nullptr);
        ASSERT_TRUE(screen);
        raw = screen.get();
        EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_DC));
    }
    // A DC that went back already cannot be given back a second time.
    EXPECT_EQ(ReleaseDC(nullptr, raw), 0) << "the DC was still lent out";
}

TEST(Owners, PaintDcIsGivenBackAtTheEndOfThePaint) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 50, 50,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    InvalidateRect(window, nullptr, FALSE);
    HDC raw = nullptr;
    {
        const win32::PaintDC dc(window);
        ASSERT_TRUE(dc);
        raw = dc.get();
        EXPECT_GT(dc.area().right, 0) << "the area that needs painting";
    }
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)) << "nothing left to paint";
    EXPECT_EQ(ReleaseDC(window, raw), 0) << "the DC was still lent out";
    DestroyWindow(window);
}

TEST(Owners, SelectionEndsWithItsScope) {
    const win32::UniqueDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    LOGFONTW logFont{};
    logFont.lfHeight = -11;
    const win32::UniquePen pen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
    const win32::UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    const win32::UniqueFont font(CreateFontIndirectW(&logFont));
    const win32::UniqueBitmap bitmap(CreateBitmap(4, 4, 1, 1, nullptr));
    const struct {
        const char* kind;
        HGDIOBJ object;
        UINT type;
    } cases[] = {
        {"pen", pen.get(), OBJ_PEN},
        {"brush", brush.get(), OBJ_BRUSH},
        {"font", font.get(), OBJ_FONT},
        {"bitmap", bitmap.get(), OBJ_BITMAP},
    };
    for (const auto& c : cases) {
        ASSERT_NE(c.object, nullptr) << c.kind;
        const HGDIOBJ before = GetCurrentObject(dc.get(), c.type);
        {
            const win32::Selected selected(dc.get(), c.object);
            EXPECT_EQ(GetCurrentObject(dc.get(), c.type), c.object) << c.kind;
        }
        EXPECT_EQ(GetCurrentObject(dc.get(), c.type), before) << "the " << c.kind << " stayed";
    }
    const HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_FONT);
    {
        const win32::Selected nothing(dc.get(), nullptr);
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), before);
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), before) << "no object, no change";
}

TEST(Owners, MenuIsDestroyed) {
    HMENU raw = nullptr;
    {
        const win32::UniqueMenu menu(CreatePopupMenu());
        ASSERT_TRUE(menu);
        raw = menu.get();
        EXPECT_TRUE(IsMenu(raw));
    }
    EXPECT_FALSE(IsMenu(raw)) << "the menu is still there";
}

TEST(Owners, AcceleratorTableIsDestroyed) {
    HACCEL raw = nullptr;
    {
        ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'O', 1}};
        const win32::UniqueAccelerators table(CreateAcceleratorTableW(keys, 1));
        ASSERT_TRUE(table);
        raw = table.get();
        EXPECT_EQ(CopyAcceleratorTableW(raw, nullptr, 0), 1);
    }
    EXPECT_EQ(CopyAcceleratorTableW(raw, nullptr, 0), 0) << "the table still exists";
}

// A test program carries no manifest of its own: the context is refused, and the thread's
// active context stays the one it was.
TEST(Owners, AnActivationContextTheSystemRefusesLeavesTheActiveOneAlone) {
    HANDLE before = nullptr;
    ASSERT_TRUE(GetCurrentActCtx(&before));
    {
        const win32::ActivatedContext missing(4242);
        EXPECT_FALSE(missing.active());
        HANDLE during = nullptr;
        ASSERT_TRUE(GetCurrentActCtx(&during));
        EXPECT_EQ(during, before);
        if (during) ReleaseActCtx(during);
    }
    if (before) ReleaseActCtx(before);
}

TEST(Owners, ModuleIsFreed) {
    // A system library that nothing else in this process loads.
    constexpr const wchar_t* kLibrary = L"cabinet.dll";
    ASSERT_EQ(GetModuleHandleW(kLibrary), nullptr) << "something else loaded it";
    {
        const win32::UniqueModule module(
            LoadLibraryExW(kLibrary, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        ASSERT_TRUE(module);
        EXPECT_EQ(GetModuleHandleW(kLibrary), module.get());
    }
    EXPECT_EQ(GetModuleHandleW(kLibrary), nullptr) << "the library is still loaded";
}

TEST(Owners, RegistryKeyIsClosed) {
    HKEY raw = nullptr;
    {
        HKEY opened = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &opened),
                  ERROR_SUCCESS);
        const win32::UniqueKey key(opened);
        raw = key.get();
        EXPECT_EQ(RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);
    }
    EXPECT_EQ(RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE)
        << "the key is still open";
}

TEST(Owners, ComApartmentEndsWithItsOwner) {
    driver::onFreshThread([] {
        {
            const win32::ComApartment apartment;
            // A second start on the same thread only counts up: COM is there already.
            EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE);
            CoUninitialize();
        }
        const HRESULT again = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EXPECT_EQ(again, S_OK) << "COM is still started on this thread";
        if (SUCCEEDED(again)) CoUninitialize();
    });
}

TEST(Owners, ComApartmentLeavesAnotherModelAlone) {
    driver::onFreshThread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        { const win32::ComApartment apartment; }
        // The owner could not start its own model, so it must not end the thread's.
        const HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(again, S_FALSE) << "the owner ended COM that it did not start";
        if (SUCCEEDED(again)) CoUninitialize();
        CoUninitialize();
    });
}

TEST(Owners, ComPointerReleasesItsReferenceOnce) {
    Counted object;
    {
        win32::ComPtr<IUnknown> first;
        ASSERT_EQ(object.QueryInterface(IID_IUnknown, first.putVoid()), S_OK);
        const win32::ComPtr<IUnknown> moved = std::move(first);
        EXPECT_FALSE(first);
        EXPECT_EQ(object.references, 1u) << "a move neither adds nor drops a reference";
        win32::ComPtr<IUnknown> second;
        ASSERT_EQ(object.QueryInterface(IID_IUnknown, second.putVoid()), S_OK);
        ASSERT_EQ(object.QueryInterface(IID_IUnknown, second.putVoid()), S_OK);
        EXPECT_EQ(object.references, 2u) << "put() lets go of the reference it replaces";
    }
    EXPECT_EQ(object.references, 0u) << "a reference is still held";
}
