#pragma once
// The catalogue of the check's findings: per message id its kind, its text (the
// one place the text is kept; LoadString finds it here), a short title, a
// paragraph that explains it, and an example that draws it with its corrected
// form. The help pages, the SARIF rules, `taluna-check --list-messages` and the
// tests all read this one table.

#include <span>
#include <string>

// The file an example is placed into: its lines are appended to the file, and
// every line of the file whose keyword the example or its correction names is
// left out (see ExampleText).
enum class EExampleFile {
    CompactSlave,  // a compact DP slave of GSD_Revision 1, checked with the written rules
    Master,        // a DP master (class 1) of GSD_Revision 1, checked with the written rules
    Rev5Slave,     // a modular DP slave of GSD_Revision 5, checked with the revision 5 rules
    Empty,         // no file around the example
};

struct SMessageInfo {
    int m_nId;
    int m_nKind;             // a CheckMessageKind: the kind the finding is reported with
    const char* m_pszText;   // the printf-style text of the row (Windows-1252)
    const char* m_pszTitle;  // a few words that name the finding
    const char* m_pszExplanation;
    EExampleFile m_File;
    const char* m_pszExample;    // lines ('\n'-separated) that draw the finding
    const char* m_pszCorrected;  // the same lines corrected; they do not draw it
};

// Every message of the catalogue, ordered by id.
std::span<const SMessageInfo> Messages();
// The row of a message id; null for an id that is not a finding of the check.
const SMessageInfo* FindMessage(int id);
// The kind a finding with this id is reported with; Info for an id that is not
// in the catalogue. The one id reported with two kinds, and the findings the
// revision 5 rules lower to warnings, say so where they are reported.
int KindOf(int id);
// The name of the help page of an id: "msg_130.htm".
std::string HelpPageName(int id);

// The lines of the file that an example is placed into, each without its line
// end, and a few words that name the file ("a compact slave file").
std::span<const char* const> ExampleFileLines(EExampleFile file);
const char* ExampleFileName(EExampleFile file);
// The whole text of an example file: the lines of its file, without those whose
// keyword the example or its correction names, then the example (or, with
// `corrected`, the corrected lines); every line ends with CR LF.
std::string ExampleText(const SMessageInfo& message, bool corrected);
