// Writes the generated pages of the help into the directory given as argument:
// the keyword glossary (one anchor per keyword) from the keyword catalogue and
// its help texts, and one page per message of the checker with the lists of
// messages from the message catalogue.

#include <fstream>
#include <iostream>
#include <string>

#include "base/check_message.h"
#include "base/message_catalogue.h"
#include "base/string_table.h"
#include "check/keyword_catalogue.h"

namespace {

std::string Html(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else if (c == '\r')
            continue;
        else if (c == '\n')
            out += "<br>\n";
        else if (static_cast<unsigned char>(c) == 0xA7)
            out += "&sect;";
        else
            out += c;
    }
    return out;
}

std::string PageOf(const SCatalogueRow& row) {
    const std::string link = row.HelpLink();
    return link.substr(0, link.find('#'));
}

void WritePage(const std::string& dir, const std::string& page, const std::string& title) {
    std::ofstream out(dir + "/" + page, std::ios::binary);
    out << "<html><head><meta charset=\"windows-1252\"><title>" << title << "</title></head><body>\n";
    out << "<h1>" << title << "</h1>\n<p><a href=\"default.htm\">Contents</a> | "
        << "<a href=\"glossary_keywords.htm\">All keywords</a></p>\n";
    for (int i = 0; i < KeywordCatalogue::AllRowCount(); ++i) {
        const SCatalogueRow& row = KeywordCatalogue::Row(i);
        if (PageOf(row) != page) continue;
        const std::string link = row.HelpLink();
        const std::string anchor = link.substr(link.find('#') + 1);
        out << "<h2><a name=\"" << anchor << "\"></a>" << Html(row.m_pszKeyword) << "</h2>\n";
        std::string help = row.m_pszHelpText != nullptr ? std::string(row.m_pszHelpText) : LoadString(row.m_nHelp);
        if (help.rfind("Help:\r\n", 0) == 0) help.erase(0, 7);
        out << "<p>" << Html(help) << "</p>\n";
        if (row.IsRev5()) out << "<p>Known to the revision 5 rules only (Extras, Settings, Check GSD rules).</p>\n";
        if (row.m_pszRange) out << "<p>Range: " << Html(row.m_pszRange) << "</p>\n";
    }
    out << "</body></html>\n";
}

// Lines of GSD text for a <pre> block: escaped, the line ends kept.
std::string PreText(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else
            out += c;
    }
    return out;
}

std::string Tag(const SMessageInfo& message) {
    return "GSD" + std::to_string(message.m_nId);
}

bool Rev5(const SMessageInfo& message) {
    return message.m_File == EExampleFile::Rev5Slave;
}

void WriteMessagePage(const std::string& dir, const SMessageInfo& m) {
    const std::string title = Tag(m) + ": " + Html(m.m_pszTitle);
    const bool oneLine = std::string(m.m_pszExample).find('\n') == std::string::npos;
    const bool oneCorrected = std::string(m.m_pszCorrected).find('\n') == std::string::npos;
    std::ofstream out(dir + "/" + HelpPageName(m.m_nId), std::ios::binary);
    out << "<html><head><meta charset=\"windows-1252\"><title>" << title << "</title></head><body>\n"
        << "<h1>" << title << "</h1>\n"
        << "<p><b>Message:</b> " << Html(m.m_pszText) << "</p>\n"
        << "<p><b>Kind:</b> " << CheckMessageKind::Name(m.m_nKind) << "</p>\n"
        << "<p><b>What it means:</b> " << Html(m.m_pszExplanation) << "</p>\n"
        << "<p><b>" << (oneLine ? "A line that draws it" : "Lines that draw it") << "</b>, in "
        << ExampleFileName(m.m_File) << ":</p>\n"
        << "<pre>" << PreText(m.m_pszExample) << "</pre>\n"
        << "<p><b>" << (oneCorrected ? "The corrected line" : "The corrected lines") << ":</b></p>\n"
        << "<pre>" << PreText(m.m_pszCorrected) << "</pre>\n";
    if (Rev5(m))
        out << "<p>The revision 5 rules are chosen in Extras, Settings, Check GSD rules, or with "
               "<tt>taluna-check --profile rev5</tt>.</p>\n";
    out << "<p><a href=\"default.htm#contents\">Contents</a> | <a href=\"messages.htm\">All messages</a>";
    if (Rev5(m)) out << " | <a href=\"messages_rev5.htm\">Messages of the revision 5 rules</a>";
    out << "</p>\n</body></html>\n";
}

void WriteMessageItems(std::ofstream& out, bool (*belongs)(const SMessageInfo&)) {
    out << "<ul>\n";
    for (const SMessageInfo& m : Messages())
        if (belongs(m))
            out << "<li><a href=\"" << HelpPageName(m.m_nId) << "\">" << Tag(m) << "</a> ("
                << CheckMessageKind::Name(m.m_nKind) << "): " << Html(m.m_pszTitle) << "</li>\n";
    out << "</ul>\n";
}

void WriteMessagePages(const std::string& dir) {
    for (const SMessageInfo& m : Messages()) WriteMessagePage(dir, m);

    std::ofstream all(dir + "/messages.htm", std::ios::binary);
    all << "<html><head><meta charset=\"windows-1252\"><title>Messages of the checker</title></head><body>\n"
        << "<h1>Messages of the checker</h1>\n<p><a href=\"default.htm#contents\">Contents</a></p>\n"
        << "<p>Every finding of Check GSD, by its id. In the output window, F1 on a row shows the page of its "
           "message; <tt>taluna-check --list-messages</tt> lists them too.</p>\n"
        << "<h2>Key syntax check</h2>\n";
    WriteMessageItems(all,
                      [](const SMessageInfo& m) { return m.m_nId < 64000 || (m.m_nId > 65000 && m.m_nId < 70000); });
    all << "<h2>Semantic check</h2>\n";
    WriteMessageItems(all, [](const SMessageInfo& m) { return m.m_nId >= 64000 && m.m_nId < 65000; });
    all << "<h2>Revision 5 rules</h2>\n";
    WriteMessageItems(all, Rev5);
    all << "</body></html>\n";

    std::ofstream rev5(dir + "/messages_rev5.htm", std::ios::binary);
    rev5 << "<html><head><meta charset=\"windows-1252\"><title>Messages of the revision 5 rules</title></head>"
            "<body>\n<h1>Messages of the revision 5 rules</h1>\n"
         << "<p>Check GSD with the revision 5 rules knows the keywords, blocks and values of GSD revisions 3 to 5. "
            "Besides the messages of the written rules it reports these:</p>\n";
    WriteMessageItems(rev5, Rev5);
    rev5 << "<p><a href=\"default.htm#contents\">Contents</a> | <a href=\"messages.htm\">All messages</a></p>\n"
         << "</body></html>\n";
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "usage: taluna_helpgen DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    WritePage(dir, "glossary_keys_general.htm", "General Keys");
    WritePage(dir, "glossary_keys_slave.htm", "Slave and Module Keys");
    WritePage(dir, "glossary_keys_master.htm", "Master Keys");
    std::ofstream out(dir + "/glossary_keywords.htm", std::ios::binary);
    out << "<html><head><meta charset=\"windows-1252\"><title>GSD Keywords</title></head><body>\n"
        << "<h1>GSD Keywords</h1>\n<p><a href=\"default.htm\">Contents</a></p>\n"
        << "<p>Every keyword that Taluna knows, with a link to its description. Keywords that are not "
           "listed here can be registered as user-defined keys.</p>\n<ul>\n";
    for (int i = 0; i < KeywordCatalogue::AllRowCount(); ++i) {
        const SCatalogueRow& row = KeywordCatalogue::Row(i);
        out << "<li><a name=\"" << Html(row.m_pszKeyword) << "\"></a><a href=\"" << row.HelpLink() << "\">"
            << Html(row.m_pszKeyword) << "</a></li>\n";
    }
    out << "</ul>\n</body></html>\n";
    WriteMessagePages(dir);
    return 0;
}
