#pragma once
// The small interfaces through which the core reaches the platform: the text of
// an open document, the per-user profile, message boxes, the progress window,
// the output window and the help window. The GUI, the CLI and the tests each
// implement them.

#include <memory>
#include <string>
#include <string_view>

struct CCheckMessage;
class CLineIndex;

// Read-only access to the lines of a document's text as the editor holds them.
class ILineSource {
public:
    virtual ~ILineSource() = default;
    virtual int GetLineCount() const = 0;
    // The line without its line end; empty for a line that does not exist.
    virtual std::string GetLine(int line) const = 0;
    // The same text as GetLine, without a copy where the source can give one;
    // `buffer` holds the text otherwise. Valid until the next call.
    virtual std::string_view GetLineView(int line, std::string& buffer) const {
        buffer = GetLine(line);
        return buffer;
    }
    // Length of the whole line in characters (not cut).
    virtual int GetLineLength(int line) const { return static_cast<int>(GetLine(line).size()); }
    // The one string that the views of GetLineView lie in, when the source
    // keeps its text so; null otherwise. Whoever holds it may keep views of it.
    virtual std::shared_ptr<const std::string> SharedText() const { return nullptr; }
    // Where the lines lie in text held in memory, when the source keeps its
    // text so: readers of many lines then find each without a call. Null
    // otherwise. Lives as long as the source.
    virtual const CLineIndex* LineIndex() const { return nullptr; }
};

// The per-user settings profile: integers and strings by section and name.
class IProfileStore {
public:
    virtual ~IProfileStore() = default;
    virtual int GetInt(const std::string& section, const std::string& name, int def) const = 0;
    virtual std::string GetString(const std::string& section, const std::string& name,
                                  const std::string& def) const = 0;
    virtual void PutInt(const std::string& section, const std::string& name, int value) = 0;
    virtual void PutString(const std::string& section, const std::string& name, const std::string& value) = 0;
    // False only when the section surely holds no name, so that a caller may
    // skip asking for each name; a store that cannot tell answers true.
    virtual bool MayHaveSection(const std::string& section) const {
        (void)section;
        return true;
    }
};

enum class ENotifyIcon { Exclamation, Information, Question };

// Message boxes with a fixed text and an icon.
class INotifier {
public:
    virtual ~INotifier() = default;
    virtual void Notify(const std::string& text, ENotifyIcon icon) = 0;
};

// The progress window of long operations.
class IProgressSink {
public:
    virtual ~IProgressSink() = default;
    virtual void Begin(const std::string& caption) = 0;
    virtual void SetStatus(const std::string& text) = 0;
    // Advances the bar by one step of the range 0..100.
    virtual void StepIt() = 0;
    virtual void End() = 0;
    // Closes the window whatever Begin calls are still open: after an operation
    // was given up (it ran out of memory), whose End calls never came.
    virtual void Reset() {}
};

// The output window: receives every row that is to be listed.
class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    virtual void AddRow(const CCheckMessage& message) = 0;
    // Deletes every row.
    virtual void Clear() {}
};

// The status bar's message pane.
class IStatusText {
public:
    virtual ~IStatusText() = default;
    virtual void SetStatusText(const std::string& text) = 0;
};

// The help window: shows a page, optionally at an anchor.
class IHelpRequest {
public:
    virtual ~IHelpRequest() = default;
    virtual void ShowHelp(const std::string& page, const std::string& anchor) = 0;
};
