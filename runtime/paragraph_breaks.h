#pragma once
// A rich edit knows one kind of line end: it turns a lone CR, a lone LF and
// even CR CR LF into paragraph breaks, and reads every break back as CR LF.
// To read back exactly the text it was given, text goes in with every CR and
// LF made a CR LF break, and the breaks that stood for a lone CR or LF are
// noted (by their place among all breaks) to be undone when it is read.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class ParagraphBreaks {
public:
    // The text as the rich edit is to take it, after everything taken so far.
    std::wstring ToBreaks(const std::wstring& text);
    // The rich edit's text (as it reads it back) with the lone ends restored.
    std::wstring Restore(std::wstring text) const;
    bool AllCrLf() const { return lone_.empty(); }

private:
    std::size_t breaks_ = 0;
    // (place among all breaks, the lone CR or LF it stands for), ascending.
    std::vector<std::pair<std::size_t, wchar_t>> lone_;
};
