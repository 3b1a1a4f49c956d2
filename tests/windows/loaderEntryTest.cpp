// The shader library's loader entry: once the library is loaded (process
// attach), the loader no longer sends it thread notifications. The loader
// records that in the module's entry of its module list, which is what this
// reads; a module that never asked serves as the control.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <winternl.h>

#include <gtest/gtest.h>

namespace {

// The head of the loader's module entry, as the loader lays it out (the
// same fields on 32 and 64 bits, at the offsets of their pointer size).
struct LoaderEntry {
    LIST_ENTRY inLoadOrder;
    LIST_ENTRY inMemoryOrder;
    LIST_ENTRY inInitializationOrder;
    void* dllBase;
    void* entryPoint;
    ULONG sizeOfImage;
    UNICODE_STRING fullName;
    UNICODE_STRING baseName;
    ULONG flags;
};
#if defined(_WIN64)
static_assert(offsetof(LoaderEntry, dllBase) == 0x30, "64-bit loader entry");
static_assert(offsetof(LoaderEntry, flags) == 0x68, "64-bit loader entry");
#else
static_assert(offsetof(LoaderEntry, dllBase) == 0x18, "32-bit loader entry");
static_assert(offsetof(LoaderEntry, flags) == 0x34, "32-bit loader entry");
#endif

// The loader's "no thread notifications" flag (DisableThreadLibraryCalls).
constexpr ULONG kNoThreadCalls = 0x00040000;

const LoaderEntry* loaderEntry(HMODULE module) {
    PROCESS_BASIC_INFORMATION process{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process, sizeof process,
                                  nullptr) != 0)
        return nullptr;
    const LIST_ENTRY* head = &process.PebBaseAddress->Ldr->InMemoryOrderModuleList;
    for (const LIST_ENTRY* link = head->Flink; link != head; link = link->Flink) {
        const LoaderEntry* entry = CONTAINING_RECORD(link, LoaderEntry, inMemoryOrder);
        if (entry->dllBase == module) return entry;
    }
    return nullptr;
}

}  // namespace

TEST(LoaderEntry, ShaderLibraryTurnsThreadNotificationsOffOnAttach) {
    const HMODULE control = LoadLibraryA(STANDIN_MODULE_PATH);
    const HMODULE library = LoadLibraryA(TARN_FLAKECOAT_PATH);
    ASSERT_NE(control, nullptr);
    ASSERT_NE(library, nullptr);
    const LoaderEntry* controlEntry = loaderEntry(control);
    const LoaderEntry* libraryEntry = loaderEntry(library);
    ASSERT_NE(controlEntry, nullptr);
    ASSERT_NE(libraryEntry, nullptr);

    EXPECT_EQ(controlEntry->flags & kNoThreadCalls, 0u);
    EXPECT_NE(libraryEntry->flags & kNoThreadCalls, 0u);

    FreeLibrary(library);
    FreeLibrary(control);
}
