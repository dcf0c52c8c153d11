#include "model/database_builder.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <exception>
#include <new>
#include <string>

#include "base/text_util.h"
#include "model/text_lines.h"

namespace {

constexpr size_t npos = std::string::npos;

// Position of a byte or -1, so that "not found" compares below every position.
long Find(const std::string& text, char c) {
    const size_t pos = text.find(c);
    return pos == npos ? -1 : static_cast<long>(pos);
}

// Replaces every byte `from` among the first `size` bytes at `text` by `to`;
// the bytes replaced are few, so the search goes by memchr.
void ReplaceBytes(char* text, size_t size, char from, char to) {
    char* const end = text + size;
    for (char* at = text; at < end; ++at) {
        at = static_cast<char*>(std::memchr(at, from, static_cast<size_t>(end - at)));
        if (at == nullptr) return;
        *at = to;
    }
}

// Trims the value in place; returns how many blanks stood before it.
size_t TrimValue(std::string& value) {
    size_t lead = 0;
    while (lead < value.size() && IsSpaceByte(value[lead])) ++lead;
    TrimInPlace(value);
    return lead;
}

// The comment rule: cut before the first marker when the first ';' stands
// before it, else before the first ';'.
void CutComment(std::string& value) {
    const long semi = Find(value, ';');
    const long marker = Find(value, MARKER_CHAR);
    if (semi < marker)
        value.resize(static_cast<size_t>(marker));
    else
        value.resize(static_cast<size_t>(semi));
}

bool IsHeaderLine(std::string_view trimmed) {
    const std::string_view head = TrimmedView(trimmed.substr(0, trimmed.find(';')));
    return !head.empty() && head[0] != ';' && EqualsNoCase(head, "#PROFIBUS_DP");
}

// Index parentheses outside strings and comments become a blank and a marker.
void ReplaceIndexParentheses(std::string& line) {
    const size_t stop = std::min(line.find('"'), line.find(';'));
    const size_t end = std::min(stop, line.size());
    ReplaceBytes(line.data(), end, '(', ' ');
    ReplaceBytes(line.data(), end, ')', MARKER_CHAR);
}

// Equal signs before the first quote become blanks.
void BlankEqualSigns(std::string& value) {
    const size_t quote = value.find('"');
    ReplaceBytes(value.data(), std::min(quote, value.size()), '=', ' ');
}

// Quotes become a blank (opening) and a marker (closing) up to the first ';'.
void ReplaceQuotes(std::string& value) {
    const size_t semi = value.find(';');
    const size_t end = std::min(semi, value.size());
    bool opening = true;
    for (size_t i = value.find('"'); i < end; i = value.find('"', i + 1)) {
        value[i] = opening ? ' ' : MARKER_CHAR;
        opening = !opening;
    }
}

// Where the comment of a value starts when a ';' may stand inside a quoted
// string: the first ';' outside quotes. npos when there is none, or when no ';'
// stands inside quotes (then the written comment rule applies unchanged).
size_t CommentOutsideQuotes(const std::string& value) {
    bool inQuotes = false;
    bool semicolonInQuotes = false;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '"') inQuotes = !inQuotes;
        if (value[i] != ';') continue;
        if (!inQuotes) return semicolonInQuotes ? i : npos;
        semicolonInQuotes = true;
    }
    return semicolonInQuotes ? value.size() : npos;
}

// Every backslash of the value joins the next line: the backslash becomes a
// blank, the comment rule cuts the value, and the next line is appended after
// CR LF. The first ';' and the first marker are tracked as lines are appended
// and the value is cut, so that long chains of joined lines stay linear.
void JoinContinuationLines(std::string& value, const ILineSource& lines, int& next, int& lineNo, std::string& buffer) {
    const int lineCount = lines.GetLineCount();
    size_t firstSemi = value.find(';');
    size_t firstMarker = value.find(MARKER_CHAR);
    size_t searchFrom = 0;
    for (size_t bs = value.find('\\'); bs != npos; bs = value.find('\\', searchFrom)) {
        value[bs] = ' ';
        if (firstSemi != npos) value.resize(firstMarker != npos && firstSemi < firstMarker ? firstMarker : firstSemi);
        while (!value.empty() && IsSpaceByte(value.back())) value.pop_back();
        if (firstSemi >= value.size()) firstSemi = npos;
        if (firstMarker >= value.size()) firstMarker = npos;
        searchFrom = std::min(bs + 1, value.size());
        if (next < lineCount) {
            ++lineNo;
            value += "\r\n";
            const size_t appended = value.size();
            value += lines.GetLineView(next++, buffer);
            if (firstSemi == npos) firstSemi = value.find(';', appended);
            if (firstMarker == npos) firstMarker = value.find(MARKER_CHAR, appended);
        }
    }
}

// Where the keyword and the value of a line lie, for a line that holds no
// backslash or marker and whose keyword reads as it stands (most lines): one
// pass over the bytes finds what the general steps search for one by one, and
// gives the same pieces.
struct SPlainLine {
    std::string_view keyword;
    size_t valueFrom = npos;  // npos: no value
    size_t valueTo = 0;       // the value's bytes, before blanks and markers replace some
    // Bytes of the line that become a blank or a marker in the value: '(',
    // ')' and '=' before the first quote or ';', and the quotes before the
    // comment in turn.
    std::uint64_t toBlank = 0;
    std::uint64_t toMarker = 0;
    bool quoted = false;  // the value holds a quote before its comment
    // The equal sign rule's answer for the line, where its bytes tell.
    std::uint16_t equalSign = CKeyEntry::EQUAL_SIGN_UNKNOWN;
};

// The equal sign rule as the masks of a short line answer it: an '=' with no
// ';' or quote before it is right when it is the only one; a line with more
// is left to the rule itself.
std::uint16_t EqualSignOf(std::uint64_t equals, std::uint64_t semis, std::uint64_t quotes) {
    if (equals == 0 || ((semis | quotes) & BitsBelow(FirstOf(equals))) != 0) return CKeyEntry::EQUAL_SIGN_WRONG;
    return (equals & (equals - 1)) == 0 ? CKeyEntry::EQUAL_SIGN_OK : CKeyEntry::EQUAL_SIGN_UNKNOWN;
}

bool SplitPlainLine(std::string_view line, ECheckProfile profile, SPlainLine& plain) {
    if (line.size() > BYTE_MASK_SIZE) return false;
    const auto [backslashes, markers, quotes, semis, equals, allOpens, allCloses, blanks] =
        ByteMasks<'\\', MARKER_CHAR, '"', ';', '=', '(', ')', ' '>(line);
    plain.equalSign = EqualSignOf(equals, semis, quotes);
    if ((backslashes | markers) != 0) return false;
    const size_t semi = FirstOf(semis);
    const size_t quote = FirstOf(quotes);
    // A ';' after a quote may stand inside a string, which the revision 5
    // profile reads differently: the general steps decide.
    if (profile == ECheckProfile::Rev5 && quote < semi && semi != npos) return false;
    // Before the first quote or ';' index parentheses become a blank and a
    // marker, and equal signs of the value blanks.
    const std::uint64_t beforeStop = BitsBelow(std::min(quote, semi));
    const std::uint64_t opens = allOpens & beforeStop;
    const std::uint64_t closes = allCloses & beforeStop;
    const size_t equal = FirstOf(equals);
    const size_t blank = FirstOf(blanks | opens);
    const size_t close = FirstOf(closes);
    const size_t cut = std::min(semi, line.size());
    if (equal == npos && blank == npos) {
        if (close != npos) return false;  // a marker in the keyword
        plain.keyword = TrimmedView(line.substr(0, cut));
        return true;
    }
    const size_t end = std::min(equal, blank);
    if (semi < end || close < end || quote < end) return false;
    plain.keyword = TrimmedView(line.substr(0, end));
    plain.valueFrom = end + 1;
    plain.valueTo = cut;
    const std::uint64_t inValue = ~BitsBelow(end + 1);
    plain.toBlank = ((equals & beforeStop) | opens) & inValue;
    plain.toMarker = closes & inValue;
    // The quotes before the comment become a blank and a marker in turn.
    std::uint64_t left = quotes & BitsBelow(cut);
    plain.quoted = left != 0;
    for (bool opening = true; left != 0; left &= left - 1, opening = !opening)
        (opening ? plain.toBlank : plain.toMarker) |= left & (~left + 1);  // the lowest quote left
    return true;
}

// Puts `c` at the bytes of `value` whose bits, counted from `from`, are set.
void PutAt(std::string& value, std::uint64_t bits, size_t from, char c) {
    for (; bits != 0; bits &= bits - 1) value[static_cast<size_t>(std::countr_zero(bits)) - from] = c;
}

class CBuildProgress {
public:
    CBuildProgress(IProgressSink* sink, long long total) : m_pSink(sink), m_nTotal(total) {
        if (m_pSink) m_pSink->Begin("Building Database...");
    }
    ~CBuildProgress() {
        // While the build unwinds (out of memory) the window is left to the
        // handler, which resets it once memory is given back.
        if (m_pSink && std::uncaught_exceptions() == 0) m_pSink->End();
    }
    void Advance(size_t lineLength) {
        m_nRead += static_cast<long long>(lineLength) + 1;
        if (!m_pSink || m_nTotal <= 0) return;
        const long long percent = m_nRead * 100 / m_nTotal;
        while (m_nShown < percent) {
            m_pSink->StepIt();
            ++m_nShown;
        }
    }
    void Status(std::string_view keyword) {
        if (m_pSink) m_pSink->SetStatus("Keyword " + std::string(keyword) + " found...");
    }

private:
    IProgressSink* m_pSink;
    long long m_nTotal;
    long long m_nRead = 0;
    long long m_nShown = 0;
};

}  // namespace

void BuildDatabase(CTalunaContext& context, const IKeyClassifier& classifier, const ILineSource& lines,
                   CKeyDatabase& database) {
    const CUserKeyScope userKeys(context);
    const int lineCount = lines.GetLineCount();
    const CLineIndex* index = lines.LineIndex();
    long long total = 0;
    if (context.m_pProgress) {
        std::string buffer;
        for (int i = 0; i < lineCount; ++i) total += static_cast<long long>(lines.GetLineView(i, buffer).size()) + 1;
    }
    // Entries view the keywords and values that stand in the text unchanged
    // instead of copying them, where the source keeps its text in one string.
    database.HoldText(lines.SharedText());
    {
        CBuildProgress progress(context.m_pProgress, total);
        int next = 0;  // next line to read
        int lineNo = -1;
        bool headerFound = false;
        int noString = 1;
        std::string buffer;
        // One line, keyword and value at a time, in storage kept across lines;
        // the entry copies them into the database.
        std::string line;
        // A view of `line`, which stays as it is once the keyword is cut.
        std::string_view keyword;
        std::string value;
        try {
            while (next < lineCount) {
                const std::string_view raw = LineView(lines, index, next++, buffer);
                progress.Advance(raw.size());
                ++lineNo;
                const std::string_view trimmed = TrimmedView(raw);
                bool isHeader = false;
                if (!headerFound && IsHeaderLine(trimmed)) {
                    headerFound = true;
                    isHeader = true;
                }
                if (trimmed.empty() || trimmed[0] == ';' || !headerFound || isHeader) continue;
                // Where the keyword and the value begin in `line`, and so in `trimmed`.
                size_t keywordAt = 0;
                size_t valueAt = npos;
                value.clear();
                int firstLine = -1;

                // Whether the line stands in text the database keeps, which
                // entries may view.
                const bool held = database.IsInHeldText(trimmed);
                // The value, where it is its piece of such a line unchanged.
                std::string_view unchanged;
                SPlainLine plain;
                if (SplitPlainLine(trimmed, context.m_Profile, plain)) {
                    keyword = plain.keyword;
                    keywordAt = static_cast<size_t>(keyword.data() - trimmed.data());
                    if (plain.valueFrom != npos && held && (plain.toBlank | plain.toMarker) == 0) {
                        unchanged = TrimmedView(trimmed.substr(plain.valueFrom, plain.valueTo - plain.valueFrom));
                        valueAt = static_cast<size_t>(unchanged.data() - trimmed.data());
                    } else if (plain.valueFrom != npos) {
                        // The value without the blanks around it, the bytes that
                        // become blanks counted as blanks, is copied alone.
                        size_t from = plain.valueFrom;
                        size_t to = plain.valueTo;
                        const auto blankAt = [&](size_t i) {
                            return IsSpaceByte(trimmed[i]) || ((plain.toBlank >> i) & 1) != 0;
                        };
                        while (from < to && blankAt(from)) ++from;
                        while (to > from && blankAt(to - 1)) --to;
                        const std::uint64_t inValue = ~BitsBelow(from) & BitsBelow(to);
                        value.assign(trimmed.substr(from, to - from));
                        PutAt(value, plain.toBlank & inValue, from, ' ');
                        PutAt(value, plain.toMarker & inValue, from, MARKER_CHAR);
                        if (plain.quoted && trimmed.size() - plain.valueFrom > 2) noString = 0;
                        valueAt = from;
                    }
                } else {
                    line.assign(trimmed);
                    ReplaceIndexParentheses(line);

                    const size_t eq = line.find('=');
                    const size_t blank = line.find(' ');
                    const auto assignKeyword = [&](std::string_view text) {
                        keywordAt = static_cast<size_t>(text.data() - line.data());
                        keyword = text;
                    };
                    if (eq == npos && blank == npos) {
                        assignKeyword(TrimmedView(std::string_view(line).substr(0, line.find(';'))));
                    } else {
                        const size_t end = std::min(eq, blank);
                        assignKeyword(TrimmedView(std::string_view(line).substr(0, end)));
                        value.assign(line, end + 1);
                        valueAt = end + 1;

                        if (!value.empty()) BlankEqualSigns(value);

                        if (!value.empty() && value.find('\\') != npos) {
                            firstLine = lineNo;
                            JoinContinuationLines(value, lines, next, lineNo, buffer);
                        }

                        // Revision 5 files write ';' inside strings (Info_Text): there the
                        // comment starts at the first ';' outside quotes.
                        const size_t comment =
                            context.m_Profile == ECheckProfile::Rev5 ? CommentOutsideQuotes(value) : npos;
                        if (comment != npos) {
                            value.resize(comment);
                            bool opening = true;
                            for (char& c : value) {
                                if (c != '"') continue;
                                c = opening ? ' ' : MARKER_CHAR;
                                opening = !opening;
                            }
                            if (value.size() > 2) noString = 0;
                        }
                        if (comment == npos && !value.empty()) {
                            const size_t quote = value.find('"');
                            const size_t semi = value.find(';');
                            if (quote != npos && (semi == npos || semi > quote)) {
                                ReplaceQuotes(value);
                                if (value.size() > 2) noString = 0;
                            }
                        }

                        if (comment == npos && !value.empty() && value.find(';') != npos) CutComment(value);
                        const size_t lead = TrimValue(value);
                        // A joined value is not one piece of the text.
                        valueAt = firstLine >= 0 ? npos : valueAt + lead;
                    }
                }

                progress.Status(keyword);

                // The texts that read the same in the source are viewed there.
                bool viewKeyword = false;
                bool viewValue = false;
                std::string_view keywordText = keyword;
                std::string_view valueText = value;
                // The value's piece of the line, where the text is kept.
                std::string_view valueSource;
                if (held) {
                    const std::string_view keywordSource = trimmed.substr(keywordAt, keyword.size());
                    if (keywordSource.data() == keyword.data() || keywordSource == keyword) {
                        keywordText = keywordSource;
                        viewKeyword = true;
                    }
                    if (valueAt != npos && !value.empty()) valueSource = trimmed.substr(valueAt, value.size());
                    if (!unchanged.empty()) {
                        valueText = unchanged;
                        viewValue = true;
                    } else if (valueSource == value) {
                        valueText = valueSource;
                        viewValue = true;
                    }
                }
                // A value changed on its way here (quotes, markers) stays this
                // working copy while it is classified: most of its pieces then
                // read as the line again and view it, and only the others are
                // copied.
                const CKeyEntry::SViewTexts views{viewKeyword, viewValue, !viewValue && !value.empty()};
                CKeyEntry& added = database.Emplace(keywordText, valueText, lineNo, views);
                if (views.m_bValueInScratch) {
                    try {
                        classifier.Classify(context, added);
                        added.SettleTexts(value, valueSource);
                    } catch (...) {
                        added.ForgetTexts(value);
                        throw;
                    }
                } else {
                    classifier.Classify(context, added);
                }
                added.m_LongLine = firstLine >= 0 ? firstLine : lineNo;
                added.m_bNoString = noString;
                added.m_EqualSign = plain.equalSign;
                noString = 1;
            }
        } catch (const std::bad_alloc&) {
            context.Notify("Insufficent memory for creating\na new database entry!");
        } catch (const std::exception&) {
            context.Notify("An error occours while building\nthe internal database!");
        }
    }
    context.m_pOpenBlock = nullptr;
    // A block left open at the end of one text must not reach into the next build.
    context.m_bInModule = 0;
}

void RebuildDatabase(CTalunaContext& context, const IKeyClassifier& classifier, const ILineSource& lines,
                     CKeyDatabase& database) {
    context.m_pCurEntry = nullptr;
    context.m_nCurItem = 0;
    database.Clear();
    BuildDatabase(context, classifier, lines, database);
    context.m_Form.m_nFormMode = 0;
    context.m_pCurEntry = nullptr;
}
