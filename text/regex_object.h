#pragma once
// RegexObject: one regular-expression search over one text, through the
// platform's "VBScript.RegExp" automation object. Matches and groups are
// numbered from 1; every failure gives an empty result, never an exception.
// The operations are virtual in this fixed order: destruction, copy, Create,
// PatternText, Replace, MatchCount, MatchText, SubMatchText, SubMatchCount.
#include "runtime/automation.h"
#include "text/gbk_text.h"

class RegexObject {
public:
    // Initialises COM for the calling thread (CoInitialize); the destructor
    // balances it, so an object belongs to the thread that made it.
    RegexObject();
    virtual ~RegexObject();

    // A new object sharing this one's platform objects and subject.
    virtual RegexObject* Copy() const;

    virtual bool Create(const Text& pattern, const Text& subject, bool caseSensitive = false,
                        bool multiline = true, bool global = true,
                        bool replaceQuotePlaceholder = false);
    virtual Text PatternText();
    virtual Text Replace(const Text& replacement);
    virtual int MatchCount();
    virtual Text MatchText(int matchIndex);
    virtual Text SubMatchText(int matchIndex, int groupIndex);
    virtual int SubMatchCount();

    RegexObject(const RegexObject&) = delete;
    RegexObject& operator=(const RegexObject&) = delete;

private:
    AutomationObject regExp;
    AutomationObject matches;
    AutomationVariant subject;
};
