// Late-bound calls against real automation objects of the platform.
#include <gtest/gtest.h>

#include <objbase.h>

#include "runtime/automation.h"

namespace {

ULONG ReferenceCount(IDispatch* object) {
    object->AddRef();
    return object->Release();
}

class AutomationTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }

    AutomationObject MakeRegExp() {
        AutomationObject regExp;
        EXPECT_TRUE(AutomationCreate(regExp, "VBScript.RegExp"));
        return regExp;
    }
};

struct VariantCase {
    const char* name;
    AutomationVariant value;
    Text text;
    double number;
};

TEST(AutomationVariantTest, ReadsAsTextAndNumber) {
    AutomationVariant null;
    null.Raw()->vt = VT_NULL;
    const VariantCase cases[] = {
        {"empty", AutomationVariant(), "", 0},
        {"null", null, "", 0},
        {"double-byte text", AutomationVariant::FromText("中文　字"), "中文　字", 0},
        {"numeric text", AutomationVariant::FromText("12"), "12", 12},
        {"integer", AutomationVariant::FromInt(-42), "-42", -42},
        {"double", AutomationVariant::FromDouble(2.5), "2.5", 2.5},
    };
    for (const VariantCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.value.ToText(), c.text);
        EXPECT_EQ(c.value.ToNumber(), c.number);
        EXPECT_TRUE(AutomationIsEmpty(c.value.ToObject()));
    }
    const ByteData bytes = {'a', 0, 0xFF, 0};
    EXPECT_EQ(AutomationVariant::FromBytes(bytes).ToBytes(), bytes);
    EXPECT_EQ(AutomationVariant(AutomationVariant::FromBytes(bytes)).ToBytes(), bytes);
    EXPECT_TRUE(AutomationVariant::FromText("x").ToBytes().empty());
}

TEST_F(AutomationTest, PropertyPutThenGet) {
    AutomationObject regExp = MakeRegExp();
    ASSERT_FALSE(AutomationIsEmpty(regExp));

    ASSERT_TRUE(AutomationPutProperty(regExp, "Pattern", AutomationVariant::FromText("作者：(.*?)<")));
    EXPECT_EQ(AutomationGetProperty(regExp, "Pattern").ToText(), "作者：(.*?)<");

    // Boolean properties, set from a Boolean and from an integer that the
    // declared parameter type turns into one.
    const struct {
        const char* property;
        AutomationVariant value;
        double expected;
    } switches[] = {
        {"IgnoreCase", AutomationVariant::FromBool(true), VARIANT_TRUE},
        {"IgnoreCase", AutomationVariant::FromBool(false), VARIANT_FALSE},
        {"Global", AutomationVariant::FromInt(1), VARIANT_TRUE},
        {"Global", AutomationVariant::FromInt(0), VARIANT_FALSE},
    };
    for (const auto& s : switches) {
        SCOPED_TRACE(s.property);
        EXPECT_TRUE(AutomationPutProperty(regExp, s.property, s.value));
        EXPECT_EQ(AutomationGetProperty(regExp, s.property).ToNumber(), s.expected);
    }
}

TEST_F(AutomationTest, UnknownMembersAndEmptyHoldersGiveEmptyValues) {
    AutomationObject regExp = MakeRegExp();
    AutomationObject empty;
    AutomationVariant argument = AutomationVariant::FromText("x");
    const struct {
        const char* name;
        AutomationObject* holder;
        Text member;
    } cases[] = {
        {"unknown name", &regExp, "NoSuchMember"},
        {"empty name", &regExp, ""},
        {"empty holder", &empty, "Pattern"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(AutomationPutProperty(*c.holder, c.member, AutomationVariant::FromText("x")));
        AutomationVariant value = AutomationGetProperty(*c.holder, c.member, {0});
        EXPECT_TRUE(value.IsEmpty());
        EXPECT_EQ(value.ToText(), "");
        EXPECT_TRUE(AutomationIsEmpty(value.ToObject()));
        EXPECT_TRUE(AutomationCallMethod(*c.holder, c.member, {{&argument}}).IsEmpty());
    }
    // A method called with an argument it cannot take fails the same way.
    EXPECT_TRUE(AutomationCallMethod(regExp, "Execute", {}).IsEmpty());
    EXPECT_FALSE(AutomationPutProperty(regExp, "Global", AutomationVariant::FromText("not a flag")));
}

TEST_F(AutomationTest, FailedCreateLeavesTheHolderAsItWas) {
    AutomationObject holder = MakeRegExp();
    IDispatch* before = holder.Get();
    ASSERT_TRUE(AutomationPutProperty(holder, "Pattern", AutomationVariant::FromText("kept")));

    EXPECT_FALSE(AutomationCreate(holder, "Qinghe.NoSuchClass"));
    EXPECT_FALSE(AutomationCreate(holder, ""));
    EXPECT_EQ(holder.Get(), before);
    EXPECT_EQ(AutomationGetProperty(holder, "Pattern").ToText(), "kept");

    AutomationObject empty;
    EXPECT_FALSE(AutomationCreate(empty, "Qinghe.NoSuchClass"));
    EXPECT_TRUE(AutomationIsEmpty(empty));
}

TEST_F(AutomationTest, CreateReleasesThePreviousObject) {
    AutomationObject holder = MakeRegExp();
    AutomationObject watcher = holder.Share();
    const ULONG shared = ReferenceCount(watcher.Get());

    ASSERT_TRUE(AutomationCreate(holder, "VBScript.RegExp"));
    EXPECT_NE(holder.Get(), watcher.Get());
    EXPECT_EQ(ReferenceCount(watcher.Get()), shared - 1);

    AutomationRelease(holder);
    EXPECT_TRUE(AutomationIsEmpty(holder));
    AutomationRelease(holder);
    EXPECT_TRUE(AutomationIsEmpty(holder));
}

// Match collections and matches may offer no type information; their members
// must still bind, and Item takes its index as a number.
TEST_F(AutomationTest, ReadsCollectionsReturnedByMethods) {
    AutomationObject regExp = MakeRegExp();
    AutomationPutProperty(regExp, "Global", AutomationVariant::FromBool(true));
    AutomationPutProperty(regExp, "Pattern", AutomationVariant::FromText("(\\w)=(\\d)"));
    AutomationVariant subject = AutomationVariant::FromText("甲a=1 乙b=2");
    AutomationObject matches = AutomationCallMethod(regExp, "Execute", {{&subject}}).ToObject();
    ASSERT_FALSE(AutomationIsEmpty(matches));
    ASSERT_EQ(AutomationGetProperty(matches, "Count").ToNumber(), 2);

    AutomationObject second = AutomationGetProperty(matches, "Item", {1}).ToObject();
    EXPECT_EQ(AutomationGetProperty(second, "Value").ToText(), "b=2");
    EXPECT_EQ(AutomationGetProperty(second, "FirstIndex").ToNumber(), 6);
    AutomationObject groups = AutomationGetProperty(second, "SubMatches").ToObject();
    EXPECT_EQ(AutomationGetProperty(groups, "Count").ToNumber(), 2);
    EXPECT_EQ(AutomationGetProperty(groups, "Item", {1}).ToText(), "2");
    EXPECT_TRUE(AutomationGetProperty(groups, "Item", {2}).IsEmpty());
    EXPECT_TRUE(AutomationGetProperty(matches, "Item", {2}).IsEmpty());
}

TEST_F(AutomationTest, MethodArgumentsByValueAndByReference) {
    AutomationObject regExp = MakeRegExp();
    AutomationPutProperty(regExp, "Global", AutomationVariant::FromBool(true));
    AutomationPutProperty(regExp, "Pattern", AutomationVariant::FromText("章(\\d)"));
    AutomationVariant subject = AutomationVariant::FromText("第章1节章2");
    AutomationVariant replacement = AutomationVariant::FromText("[$1]");
    for (bool byReference : {false, true}) {
        SCOPED_TRACE(byReference ? "by reference" : "by value");
        EXPECT_EQ(AutomationCallMethod(regExp, "Replace", {{&subject}, {&replacement, byReference}}).ToText(),
                  "第[1]节[2]");
    }
    EXPECT_EQ(replacement.ToText(), "[$1]");
}

// Byte data, zero bytes included, reaches a method that takes a variant and
// comes back unchanged.
TEST_F(AutomationTest, ByteDataPassesThroughAsAnArgument) {
    AutomationObject dictionary;
    ASSERT_TRUE(AutomationCreate(dictionary, "Scripting.Dictionary"));
    const ByteData cases[] = {{0, 'a', 0, 0xA1, 0xA1, 0}, {}};
    double key = 0;
    for (const ByteData& bytes : cases) {
        SCOPED_TRACE(bytes.size());
        ++key;
        AutomationVariant keyValue = AutomationVariant::FromDouble(key);
        AutomationVariant data = AutomationVariant::FromBytes(bytes);
        AutomationCallMethod(dictionary, "Add", {{&keyValue}, {&data}});
        AutomationVariant stored = AutomationGetProperty(dictionary, "Item", {key});
        EXPECT_EQ(stored.Raw()->vt, VT_ARRAY | VT_UI1);
        EXPECT_EQ(stored.ToBytes(), bytes);
    }
    EXPECT_EQ(AutomationGetProperty(dictionary, "Count").ToNumber(), 2);
}

}  // namespace
