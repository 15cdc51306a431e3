// The shipped DLL as a Windows host sees it: loading and unloading, its exports by name and by
// ordinal, an exception out of it, and its dialog resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "calvora/framework/afx.h"
#include "calvora/resources/dialog_templates.h"

namespace {

std::wstring FromCp936(const char* text) {
    const int length = static_cast<int>(std::strlen(text));
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    wide.resize(
        static_cast<std::size_t>(MultiByteToWideChar(936, 0, text, length, wide.data(), length)));
    return wide;
}

template <typename Function>
Function Export(HMODULE module, LPCSTR nameOrOrdinal) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, nameOrOrdinal)));
}

TEST(ShippedDll, ExportsByNameAndOrdinalAndUnloadsWhenReleased) {
    const HMODULE module = LoadLibraryA(CALVORA_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    using PFN_GetConfigData = int (*)(CObList*);
    const auto byName = Export<PFN_GetConfigData>(module, "GetConfigData");
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(Export<PFN_GetConfigData>(module, MAKEINTRESOURCEA(5)), byName);
    CObList borrowed;
    EXPECT_EQ(byName(&borrowed), 1);
    ASSERT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleA(CALVORA_MODULE_PATH), nullptr);
}

TEST(ShippedDll, ArchiveErrorReachesTheHostAsItsOwnType) {
    const HMODULE module = LoadLibraryA(CALVORA_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    using PFN_Receive = void (*)(CArchive*);
    const auto receive = Export<PFN_Receive>(module, "ReceiveObjListFromArchive");
    ASSERT_NE(receive, nullptr);
    BYTE truncated[] = {2, 0};  // a list of two periods that ends before the first
    CMemFile file(truncated, sizeof truncated);
    CArchive archive(&file, CArchive::load);
    EXPECT_THROW(receive(&archive), CArchiveException);
    FreeLibrary(module);
}

// The dialog resources carry what the template table says, in Chinese (PRC).
TEST(ShippedDll, CarriesBothDialogTemplatesAsResources) {
    const HMODULE module = LoadLibraryExA(CALVORA_MODULE_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    for (const ui::DialogTemplate& dialog : resources::AllDialogTemplates()) {
        const HRSRC found =
            FindResourceExA(module, RT_DIALOG, MAKEINTRESOURCEA(dialog.id), dialog.language);
        ASSERT_NE(found, nullptr) << dialog.id;
        const auto* words = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
        ASSERT_NE(words, nullptr);
        // DLGTEMPLATEEX: version 1, signature 0xFFFF, help id, extended style, style, count,
        // position and size, then menu, class and caption as strings.
        EXPECT_EQ(words[0], 1);
        EXPECT_EQ(words[1], 0xFFFF);
        EXPECT_EQ(words[8], dialog.controls.size()) << dialog.id;
        EXPECT_EQ(words[11], dialog.cx);
        EXPECT_EQ(words[12], dialog.cy);
        const auto* strings = reinterpret_cast<const wchar_t*>(words + 13);
        ASSERT_EQ(strings[0], L'\0');  // no menu
        ASSERT_EQ(strings[1], L'\0');  // the standard dialog class
        EXPECT_EQ(std::wstring(strings + 2), FromCp936(dialog.caption)) << dialog.id;
    }
    FreeLibrary(module);
}

}  // namespace
