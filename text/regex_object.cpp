#include "text/regex_object.h"

#include <objbase.h>

namespace {

// Stands for a double quote in patterns, whose literals cannot easily hold one.
const Text kQuotePlaceholder = "#引号";

// Item of a platform collection, which counts from 0, for a number counted from 1.
AutomationObject ItemFrom1(AutomationObject& collection, int numberFrom1) {
    return AutomationGetProperty(collection, "Item", {static_cast<double>(numberFrom1) - 1}).ToObject();
}

int TruncatedCount(AutomationObject& collection) {
    const double count = AutomationGetProperty(collection, "Count").ToNumber();
    return count >= 1 && count <= 2147483647.0 ? static_cast<int>(count) : 0;
}

}  // namespace

RegexObject::RegexObject() {
    // Already initialised threads only count up; the destructor counts down.
    (void)CoInitialize(nullptr);
}

RegexObject::~RegexObject() {
    AutomationRelease(regExp);
    AutomationRelease(matches);
    subject.Clear();
    CoUninitialize();
}

RegexObject* RegexObject::Copy() const {
    // The copy initialises COM in its own constructor, so its destruction
    // balances that, and it keeps the shared platform objects alive by itself.
    auto* copy = new RegexObject();
    copy->regExp = regExp.Share();
    copy->matches = matches.Share();
    copy->subject = subject;
    return copy;
}

bool RegexObject::Create(const Text& pattern, const Text& subjectText, bool caseSensitive, bool multiline,
                         bool global, bool replaceQuotePlaceholder) {
    AutomationRelease(regExp);
    AutomationRelease(matches);
    AutomationCreate(regExp, "VBScript.RegExp");
    AutomationPutProperty(regExp, "IgnoreCase", AutomationVariant::FromBool(!caseSensitive));
    AutomationPutProperty(regExp, "Multiline", AutomationVariant::FromBool(multiline));
    AutomationPutProperty(regExp, "Global", AutomationVariant::FromBool(global));
    const Text patternText =
        replaceQuotePlaceholder ? ReplaceAllText(pattern, kQuotePlaceholder, "\"") : pattern;
    AutomationPutProperty(regExp, "Pattern", AutomationVariant::FromText(patternText));
    subject = AutomationVariant::FromText(subjectText);
    matches = AutomationCallMethod(regExp, "Execute", {{&subject}}).ToObject();
    return !AutomationIsEmpty(matches);
}

Text RegexObject::PatternText() {
    if (AutomationIsEmpty(regExp)) return {};
    return AutomationGetProperty(regExp, "Pattern").ToText();
}

Text RegexObject::Replace(const Text& replacement) {
    AutomationVariant replacementValue = AutomationVariant::FromText(replacement);
    Text result = AutomationCallMethod(regExp, "Replace", {{&subject}, {&replacementValue, true}}).ToText();
    replacementValue.Clear();
    return result;
}

int RegexObject::MatchCount() { return TruncatedCount(matches); }

Text RegexObject::MatchText(int matchIndex) {
    AutomationObject match = ItemFrom1(matches, matchIndex);
    Text text = AutomationGetProperty(match, "Value").ToText();
    AutomationRelease(match);
    return text;
}

Text RegexObject::SubMatchText(int matchIndex, int groupIndex) {
    AutomationObject match = ItemFrom1(matches, matchIndex);
    AutomationObject groups = AutomationGetProperty(match, "SubMatches").ToObject();
    // A group that took no part in the match reads as an empty value: "".
    Text text = AutomationGetProperty(groups, "Item", {static_cast<double>(groupIndex) - 1}).ToText();
    AutomationRelease(match);
    AutomationRelease(groups);
    return text;
}

int RegexObject::SubMatchCount() {
    AutomationObject match = AutomationGetProperty(matches, "Item", {0}).ToObject();
    AutomationObject groups = AutomationGetProperty(match, "SubMatches").ToObject();
    AutomationRelease(match);
    const int count = TruncatedCount(groups);
    AutomationRelease(groups);
    return count;
}
