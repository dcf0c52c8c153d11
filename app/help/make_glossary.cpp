// Writes the keyword glossary pages of the help (one anchor per keyword) from the
// keyword catalogue and its help texts, into the directory given as argument.

#include <fstream>
#include <iostream>
#include <string>

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
    return 0;
}
