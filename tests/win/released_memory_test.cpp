// The owners of memory: each gives its block back when it goes, which every test here sees
// from the allocator that handed the block out. Run without Wine's heap check, which keeps a
// freed block from being given back at once (to catch its use after the free), so that the
// heap would still call it its own.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "win32/owners.hpp"

TEST(ReleasedMemory, TaskMemoryIsFreed) {
    win32::ComPtr<IMalloc> allocator;
    ASSERT_EQ(CoGetMalloc(1, allocator.put()), S_OK);
    void* raw = nullptr;
    {
        const win32::UniqueTaskMemory<wchar_t> text(static_cast<wchar_t*>(CoTaskMemAlloc(64)));
        ASSERT_TRUE(text);
        raw = text.get();
        EXPECT_EQ(allocator->DidAlloc(raw), 1);
    }
    EXPECT_EQ(allocator->DidAlloc(raw), 0) << "the memory is still allocated";
}

// A drop's memory is the receiver's to give back. GlobalAlloc's fixed memory comes from the
// process heap, which knows its blocks.
TEST(ReleasedMemory, DropIsFinished) {
    void* raw = nullptr;
    {
        HGLOBAL memory = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(DROPFILES) + 4);
        ASSERT_NE(memory, nullptr);
        static_cast<DROPFILES*>(memory)->pFiles = sizeof(DROPFILES);
        static_cast<DROPFILES*>(memory)->fWide = TRUE;
        const win32::UniqueDrop drop(static_cast<HDROP>(memory));
        raw = memory;
        EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, raw));
    }
    EXPECT_FALSE(HeapValidate(GetProcessHeap(), 0, raw)) << "the drop's memory is still there";
}

// Wine's LocalFlags and LocalSize do not tell a freed block from a live one. The local
// functions wrap the process heap, though, and the heap knows its blocks.
TEST(ReleasedMemory, LocalMemoryIsFreed) {
    void* raw = nullptr;
    {
        const win32::UniqueLocalMemory<wchar_t> text(
            static_cast<wchar_t*>(LocalAlloc(LMEM_FIXED, 64)));
        ASSERT_TRUE(text);
        raw = text.get();
        EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, raw));
    }
    EXPECT_FALSE(HeapValidate(GetProcessHeap(), 0, raw)) << "the memory is still allocated";
}
