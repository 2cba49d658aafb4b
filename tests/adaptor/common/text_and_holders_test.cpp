// Text conversion, identifier texts and the RAII holders of the Win32 seam.
#include "common/bstr.h"
#include "common/com_ptr.h"
#include "common/guid_text.h"
#include "common/task_mem.h"
#include "common/to_utf8.h"
#include "win32seam/testing/win32_seam.h"
#include "support/leak_check.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using WideString = std::basic_string<WCHAR>;

WideString wide(std::u16string_view text) { return WideString(text.begin(), text.end()); }

class ToUtf8 : public orx::test::LeakCheckedTest {};

TEST_F(ToUtf8, EmptyAndNullTextGiveEmptyString)
{
    EXPECT_EQ(orx::toUtf8(nullptr), "");
    EXPECT_EQ(orx::toUtf8(wide(u"").c_str()), "");
}

TEST_F(ToUtf8, ConvertsAsciiAndNonAscii)
{
    EXPECT_EQ(orx::toUtf8(wide(u"Y800 (640x480)").c_str()), "Y800 (640x480)");
    EXPECT_EQ(orx::toUtf8(wide(u"Belichtungszeit \u00B5s").c_str()), "Belichtungszeit \xC2\xB5s");
    EXPECT_EQ(orx::toUtf8(wide(u"\u30AB\u30E1\u30E9").c_str()), "\xE3\x82\xAB\xE3\x83\xA1\xE3\x83\xA9");
}

TEST_F(ToUtf8, JoinsSurrogatePairs)
{
    // U+1F4F7 CAMERA is D83D DCF7 in UTF-16.
    EXPECT_EQ(orx::toUtf8(wide(u"cam \U0001F4F7").c_str()), "cam \xF0\x9F\x93\xB7");
}

TEST_F(ToUtf8, UnpairedSurrogatesBecomeReplacementCharacters)
{
    const WCHAR lonelyHigh[] = {u'a', 0xD83D, u'b', 0};
    const WCHAR lonelyLow[] = {0xDCF7, 0};
    const WCHAR highAtEnd[] = {u'x', 0xD800, 0};
    EXPECT_EQ(orx::toUtf8(lonelyHigh), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(orx::toUtf8(lonelyLow), "\xEF\xBF\xBD");
    EXPECT_EQ(orx::toUtf8(highAtEnd), "x\xEF\xBF\xBD");
}

TEST_F(ToUtf8, TooSmallBufferConvertsNothing)
{
    const auto text = wide(u"abcdef");
    char narrow[3] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), 7);
}

class Identifiers : public orx::test::LeakCheckedTest {};

TEST_F(Identifiers, RegistryTextIsUpperCaseWithBracesAndDashes)
{
    const GUID id{0x99B44940, 0xBFE1, 0x4083, {0xAD, 0xA1, 0xBE, 0x70, 0x3F, 0x4B, 0x8E, 0x03}};
    EXPECT_EQ(WideString(orx::registryText(id).get()), wide(u"{99B44940-BFE1-4083-ADA1-BE703F4B8E03}"));
    EXPECT_EQ(WideString(orx::registryText(GUID{}).get()), wide(u"{00000000-0000-0000-0000-000000000000}"));
}

// The text composed at compile time (the partial-scan paths) is the system's text.
TEST_F(Identifiers, CompileTimeTextIsTheSystemsText)
{
    const GUID ids[] = {{0x99B44940, 0xBFE1, 0x4083, {0xAD, 0xA1, 0xBE, 0x70, 0x3F, 0x4B, 0x8E, 0x03}},
                        {0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
                        {0x0000000A, 0x00B0, 0x0C00, {0x01, 0x10, 0x0F, 0xF0, 0x00, 0x09, 0x90, 0xAB}},
                        {}};
    for (const GUID& id : ids) {
        WCHAR composed[orx::kRegistryTextLength + 1]{};
        std::size_t at = 0;
        orx::appendRegistryText(composed, at, id);
        EXPECT_EQ(at, orx::kRegistryTextLength);
        EXPECT_EQ(WideString(composed), WideString(orx::registryText(id).get()));
    }
    constexpr auto first = [] {
        WCHAR text[orx::kRegistryTextLength + 1]{};
        std::size_t at = 0;
        orx::appendRegistryText(text, at, GUID{0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}});
        return text[1] == WCHAR('1') && text[37] == WCHAR('}') && text[24] == WCHAR('-');
    }();
    EXPECT_TRUE(first);
}

TEST_F(Identifiers, FailedAllocationGivesEmptyText)
{
    win32seam::failNextTaskMemAllocs(1);
    EXPECT_FALSE(orx::registryText(GUID{}));
}

TEST_F(Identifiers, CompareAllSixteenBytes)
{
    const GUID a{0xB57D3000, 0x0AC6, 0x4819, {0xA6, 0x09, 0x27, 0x2A, 0x33, 0x14, 0x0A, 0xCA}};
    GUID b = a;
    EXPECT_TRUE(a == b);
    b.Data4[7] ^= 1;
    EXPECT_FALSE(a == b);
}

// A COM object that counts its references.
struct CountingUnknown : IUnknown {
    ULONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
};

class Holders : public orx::test::LeakCheckedTest {};

TEST_F(Holders, ComPtrReleasesExactlyOnce)
{
    CountingUnknown object;
    {
        auto first = orx::ComPtr<CountingUnknown>::attach(&object);
        auto shared = first.copy();
        EXPECT_EQ(object.references, 2u);
        auto moved = std::move(shared);
        EXPECT_EQ(object.references, 2u);
        moved.reset();
        EXPECT_EQ(object.references, 1u);
    }
    EXPECT_EQ(object.references, 0u);
}

TEST_F(Holders, ComPtrPutReleasesWhatItHeld)
{
    CountingUnknown held, next;
    auto pointer = orx::ComPtr<IUnknown>::attach(&held);
    held.QueryInterface(IID{}, reinterpret_cast<void**>(pointer.put()));
    EXPECT_EQ(held.references, 1u); // the old reference went, the out-parameter's came
    pointer.reset(&next);
    EXPECT_EQ(held.references, 0u);
    EXPECT_EQ(next.references, 1u);
    (void)pointer.detach();
    EXPECT_EQ(next.references, 1u);
}

TEST_F(Holders, BstrAndTaskMemAreFreedOnEveryPath)
{
    const auto bstrs = win32seam::outstandingBstrs();
    const auto blocks = win32seam::outstandingTaskMemBlocks();
    {
        orx::Bstr text(wide(u"Brightness").c_str());
        ASSERT_TRUE(text);
        EXPECT_EQ(SysStringLen(text.get()), 10u);
        auto block = orx::copyToTaskMem("ORX Colour 2448");
        EXPECT_STREQ(block.get(), "ORX Colour 2448");
        EXPECT_EQ(win32seam::outstandingBstrs(), bstrs + 1);
        EXPECT_EQ(win32seam::outstandingTaskMemBlocks(), blocks + 1);
        orx::Bstr moved = std::move(text);
        EXPECT_EQ(win32seam::outstandingBstrs(), bstrs + 1);
    }
    EXPECT_EQ(win32seam::outstandingBstrs(), bstrs);
    EXPECT_EQ(win32seam::outstandingTaskMemBlocks(), blocks);
}

TEST_F(Holders, TaskMemAllocationFailureThrows)
{
    win32seam::failNextTaskMemAllocs(1);
    EXPECT_THROW(orx::copyToTaskMem("name"), std::bad_alloc);
}

} // namespace
