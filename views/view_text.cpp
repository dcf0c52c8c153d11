#include "views/view_text.h"

#include "app/cp1252.h"
#include "base/string_table.h"

QString GsdToQt(std::string_view bytes) {
    return DecodeCp1252(bytes);
}

std::string QtToGsd(const QString& text) {
    return EncodeCp1252(text);
}

QString GsdToQtLines(std::string_view bytes) {
    QString text = GsdToQt(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

namespace {

struct SViewText {
    int id;
    const char* text;
};

constexpr SViewText kViewTexts[] = {
    {65104, "Change Settings for User-defined Key..."},
    {65105, "Data Type:"},
    {65106, "Range and Length Check (See Help for valid Inputs!):"},
    {65107, "Key Group:"},
    {65151, "Registered user-defined keys:"},
};

}  // namespace

std::string LoadViewString(int id) {
    std::string text = LoadString(id);
    if (!text.empty()) return text;
    for (const SViewText& entry : kViewTexts)
        if (entry.id == id) return entry.text;
    return {};
}
