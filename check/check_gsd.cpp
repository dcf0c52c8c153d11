#include "check/check_gsd.h"

#include <exception>
#include <memory>
#include <new>

#include "base/check_message.h"
#include "base/message_catalogue.h"
#include "base/string_table.h"
#include "base/text_util.h"
#include "base/value_scanners.h"
#include "check/process_key.h"
#include "check/semantic_check.h"
#include "check/semantic_rev5.h"
#include "model/database_builder.h"

namespace {

// The progress window over the passes of a check: one hundred steps over every
// entry visited by the syntax, collect and evaluate passes. Each step lets the
// window process pending events, so a long check keeps the screen painted.
class CCheckProgress {
public:
    CCheckProgress(IProgressSink* sink, long long visits) : m_pSink(visits > 0 ? sink : nullptr), m_nVisits(visits) {
        if (m_pSink) m_pSink->Begin(LoadString(57));
    }
    ~CCheckProgress() {
        // While the check unwinds (out of memory) the window is left to the
        // handler, which resets it once memory is given back.
        if (m_pSink && std::uncaught_exceptions() == 0) m_pSink->End();
    }
    CCheckProgress(const CCheckProgress&) = delete;
    CCheckProgress& operator=(const CCheckProgress&) = delete;

    void Status(int id) {
        if (m_pSink) m_pSink->SetStatus(LoadString(id));
    }
    void Visit() {
        if (!m_pSink) return;
        const long long percent = ++m_nDone * 100 / m_nVisits;
        while (m_nShown < percent) {
            m_pSink->StepIt();
            ++m_nShown;
        }
    }

private:
    IProgressSink* m_pSink;
    long long m_nVisits;
    long long m_nDone = 0;
    long long m_nShown = 0;
};

void NoteFinishedIfSilent(CTalunaContext& context) {
    if (context.m_nCheckMessages == 0) context.AddNote(LoadString(IDS_CHECK_FINISHED), IDS_CHECK_FINISHED);
}

void SyntaxPass(CTalunaContext& context, const CKeyDatabase& database, CCheckProgress& progress) {
    database.ForEachEntry([&](CKeyEntry& entry, int index) {
        context.m_pCurEntry = &entry;
        context.m_nCurItem = index;
        ProcessKey(context, entry.m_Keyword, MODE_CHECK, "");
        progress.Visit();
    });
}

void SemanticPasses(CTalunaContext& context, const CKeyDatabase& database, const void* doc, CCheckProgress& progress) {
    try {
        auto check = std::make_unique<CSemanticCheck>(context, doc);
        for (SemanticPass pass : {PassCollect, PassEvaluate}) {
            database.ForEachEntry([&](CKeyEntry& entry, int index) {
                context.m_pCurEntry = &entry;
                context.m_nCurItem = index;
                check->CheckEntry(entry, pass);
                progress.Visit();
            });
        }
        if (!database.IsEmpty()) {
            context.m_pCurEntry = database.GetTail();
            context.m_nCurItem = database.GetCount() - 1;
            check->CheckEntry(*database.GetTail(), PassFinal);
        }
    } catch (const std::bad_alloc&) {
        context.Notify("Insufficent memory to perform\nthe semantic check!");
    }
}

}  // namespace

void RunCheckGsd(CTalunaContext& context, const ILineSource& lines, CKeyDatabase& database, const void* doc) {
    const CUserKeyScope userKeys(context);
    RebuildDatabase(context, KeyClassifier(), lines, database);
    context.ClearMessages();
    context.m_CheckedDoc = {doc, &lines, lines.LineIndex(), true};

    const bool semantic = context.m_Settings.m_bNoSemanticCheck == 0;
    CCheckProgress progress(context.m_pProgress, static_cast<long long>(database.GetCount()) * (semantic ? 3 : 1));

    context.AddNote("Start Syntax-Check...");
    context.m_nCheckMessages = 0;
    context.SetStatusText(LoadString(IDS_WAIT_SYNTAX));
    progress.Status(IDS_WAIT_SYNTAX);
    if (database.IsEmpty())
        context.AddCheckMessage(KindOf(IDS_DATABASE_EMPTY), -1, LoadString(IDS_DATABASE_EMPTY), nullptr,
                                IDS_DATABASE_EMPTY);
    SyntaxPass(context, database, progress);
    NoteFinishedIfSilent(context);
    context.AddNote("Stop Syntax-Check...");

    if (!semantic) {
        context.AddNote("FailSafe-Mode: Skipping semantic check.");
    } else {
        context.AddNote("Start Semantic-Check...");
        context.m_nCheckMessages = 0;
        context.SetStatusText(LoadString(IDS_WAIT_SEMANTIC));
        progress.Status(IDS_WAIT_SEMANTIC);
        context.m_pOpenBlock = nullptr;
        SemanticPasses(context, database, doc, progress);
        if (context.m_Profile == ECheckProfile::Rev5) RunRev5Rules(context, database, doc);
        NoteFinishedIfSilent(context);
        context.AddNote("Stop Semantic-Check...");
    }

    context.SetStatusText(LoadString(IDS_IDLE));
    context.m_pOpenBlock = nullptr;
    context.m_Form.m_nFormMode = 0;
    context.m_pCurEntry = nullptr;
}

void RunCheckSyntax(CTalunaContext& context, const ILineSource& lines, CKeyDatabase& database, const void* doc) {
    context.ClearMessages();
    if (context.m_pCurEntry == nullptr) {
        context.Notify("No database exists.");
        return;
    }
    const int firstLine = context.m_pCurEntry->m_LongLine;
    const std::string keyword(context.m_pCurEntry->m_Keyword);
    RebuildDatabase(context, KeyClassifier(), lines, database);
    for (int i = 0; i < database.GetCount(); ++i) {
        CKeyEntry* entry = database.GetAt(i);
        if (entry->m_LongLine == firstLine && entry->m_Keyword == keyword) {
            context.m_pCurEntry = entry;
            context.m_nCurItem = i;
            break;
        }
    }
    if (context.m_pCurEntry == nullptr) {
        context.Notify("The contents of the editor changed. Please choose\n\"Check GSD\" from the \"Extras\" menu.",
                       ENotifyIcon::Information);
        return;
    }
    context.AddNote("Start Syntax-Check...");
    context.m_CheckedDoc = {doc, &lines, lines.LineIndex()};
    context.m_nCheckMessages = 0;
    ProcessKey(context, context.m_pCurEntry->m_Keyword, MODE_CHECK, "");
    NoteFinishedIfSilent(context);
    context.AddNote("Stop Syntax-Check...");
}

long DeclaredGsdRevision(const ILineSource& lines) {
    std::string buffer;
    const int count = lines.GetLineCount();
    for (int i = 0; i < count; ++i) {
        std::string_view line = lines.GetLineView(i, buffer);
        while (!line.empty() && IsSpaceByte(line.front())) line.remove_prefix(1);
        constexpr std::string_view kKeyword = "GSD_Revision";
        if (line.size() <= kKeyword.size() || !EqualsNoCase(line.substr(0, kKeyword.size()), kKeyword)) continue;
        line.remove_prefix(kKeyword.size());
        while (!line.empty() && IsSpaceByte(line.front())) line.remove_prefix(1);
        if (line.empty() || line.front() != '=') continue;
        line.remove_prefix(1);
        const size_t end = line.find_first_of(";\r\n");
        const std::string value = Trim(line.substr(0, end));
        if (value.empty() || !ScanNumber(value, WIDTH_ANY)) return -1;
        return static_cast<long>(NumberValue(value));
    }
    return -1;
}

ECheckProfile ProfileOfSetting(int setting, const ILineSource& lines) {
    if (setting == 1) return ECheckProfile::Rev5;
    if (setting == 2) return ProfileForRevision(DeclaredGsdRevision(lines));
    return ECheckProfile::Classic;
}
