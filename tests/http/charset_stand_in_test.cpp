// The bench's "Adodb.Stream" stand-in (tests/standins/adodb_stream), as the
// automation services see it: bound by name through its type information,
// decoding the character sets its table names.
#include <gtest/gtest.h>

#include <utility>

#include "runtime/automation.h"

namespace {

class CharsetStandIn : public ::testing::Test {
protected:
    void SetUp() override {
        (void)CoInitialize(nullptr);
        ASSERT_TRUE(AutomationCreate(stream, "Adodb.Stream"));
    }
    void TearDown() override {
        AutomationRelease(stream);
        CoUninitialize();
    }

    // The byte-to-text sequence of a page fetch; the text read and whether the
    // character set was accepted.
    std::pair<Text, bool> Decode(const Text& charset, const ByteData& bytes) {
        AutomationVariant data = AutomationVariant::FromBytes(bytes);
        EXPECT_TRUE(AutomationPutProperty(stream, "Type", AutomationVariant::FromInt(1)));
        EXPECT_TRUE(AutomationPutProperty(stream, "Mode", AutomationVariant::FromInt(3)));
        AutomationCallMethod(stream, "Open");
        AutomationCallMethod(stream, "Write", {{&data}});
        EXPECT_TRUE(AutomationPutProperty(stream, "Position", AutomationVariant::FromInt(0)));
        EXPECT_TRUE(AutomationPutProperty(stream, "Type", AutomationVariant::FromInt(2)));
        const bool accepted = AutomationPutProperty(stream, "Charset", AutomationVariant::FromText(charset));
        Text text = AutomationCallMethod(stream, "ReadText").ToText();
        AutomationCallMethod(stream, "Close");
        return {text, accepted};
    }

    AutomationObject stream;
};

TEST_F(CharsetStandIn, TypeInformationListsExactlyTheCalledMembers) {
    ITypeInfo* typeInfo = nullptr;
    ASSERT_EQ(stream.Get()->GetTypeInfo(0, GetUserDefaultLCID(), &typeInfo), S_OK);
    ASSERT_NE(typeInfo, nullptr);
    const struct {
        const wchar_t* name;
        bool listed;
    } members[] = {
        {L"Type", true},     {L"Mode", true},      {L"Position", true}, {L"Charset", true},
        {L"Open", true},     {L"Write", true},     {L"ReadText", true}, {L"close", true},
        {L"WriteText", false}, {L"LoadFromFile", false},
    };
    for (const auto& m : members) {
        SCOPED_TRACE(testing::Message() << (m.listed ? "listed " : "unlisted ") << m.name);
        LPOLESTR names[1] = {const_cast<LPOLESTR>(m.name)};
        MEMBERID id = MEMBERID_NIL;
        EXPECT_EQ(SUCCEEDED(typeInfo->GetIDsOfNames(names, 1, &id)), m.listed);
    }
    typeInfo->Release();
}

TEST_F(CharsetStandIn, DecodesEachNamedCharacterSetToGbk) {
    const struct {
        const char* charset;
        ByteData bytes;
        Text expected;
    } cases[] = {
        {"UTF-8", {0xE9, 0x9D, 0x92, 0xE7, 0xA6, 0xBE}, "青禾"},
        {"utf-8", {0xEF, 0xBB, 0xBF, 'a'}, "a"},  // byte-order mark dropped
        {"gbk", {0xC7, 0xE0, 0, 0xBA, 0xCC}, Text("青\0禾", 5)},
        {"CP936", {0xC7, 0xE0}, "青"},
        {"gb18030", {0xC7, 0xE0, 0xBA, 0xCC}, "青禾"},
        {"Big5", {0xAB, 0x43, 0xA5, 0xDD}, "青禾"},
        {"shift_jis", {0x90, 0xC2, 0x8B, 0xF3}, "青空"},
        {"SJIS", {0x90, 0xC2}, "青"},
        {"euc-kr", {0xA5, 0xE1, 0xA5, 0xE2}, "αβ"},
        {"iso-8859-1", {0xE9}, "é"},
        {"Latin1", {0xE9}, "é"},
        {"windows-1251", {0xC6, 0xE6}, "Жж"},
        {"utf-16", {0x52, 0x97, 0xBE, 0x79}, "青禾"},
        {"Unicode", {0xFF, 0xFE, 0x52, 0x97}, "青"},
        {"utf-8", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.charset);
        const auto [text, accepted] = Decode(c.charset, c.bytes);
        EXPECT_TRUE(accepted);
        EXPECT_EQ(text, c.expected);
    }
}

TEST_F(CharsetStandIn, UnknownCharacterSetFailsTheReadToo) {
    for (const char* charset : {"x-no-such-set", "utf-7x", ""}) {
        SCOPED_TRACE(charset);
        const auto [text, accepted] = Decode(charset, {'a', 'b'});
        EXPECT_FALSE(accepted);
        EXPECT_EQ(text, "");
        // The stream is usable again for a known set.
        EXPECT_EQ(Decode("utf-8", {'o', 'k'}).first, "ok");
    }
}

}  // namespace
