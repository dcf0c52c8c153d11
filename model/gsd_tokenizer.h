#pragma once
// Splits one line of GSD text into the token classes the text view colours:
// comments, strings, keywords (the view's 131 words) and type words (its 10 words).

#include <string_view>
#include <vector>

enum class ETokenClass { Plain, Comment, Number, String, Keyword, TypeWord };

struct SToken {
    int m_nStart = 0;   // byte offset in the line
    int m_nLength = 0;  // bytes
    ETokenClass m_Class = ETokenClass::Plain;
};

// The text view's fixed word lists, each as one string of blank-separated words.
const char* GsdKeywordList();
const char* GsdTypeWordList();

// Which list a whole word belongs to, ignoring case: Keyword, TypeWord or Plain.
ETokenClass ClassifyGsdWord(std::string_view word);

// The tokens of one line (no line end in it), in order; gaps are plain text and
// are not listed. Comments run to the end of the line; a string runs to its
// closing quote or to the end of the line.
// `isMoreKeyword`, when given, names further keywords (those of a check profile
// beyond the view's own list).
std::vector<SToken> TokenizeGsdLine(std::string_view line, bool (*isMoreKeyword)(std::string_view) = nullptr);
