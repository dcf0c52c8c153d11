#pragma once
// The texts of the check's findings as the tests expect them, read from the
// message catalogue instead of copies of their own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/message_catalogue.h"

namespace taluna_test {

// The text of a catalogued message with its placeholders (%s, %d, %04X, ...)
// filled in order by `args`, each already written as the row shows it; a
// message that names one value twice gets it once, and later placeholders
// repeat the last argument.
inline std::string MessageText(int id, const std::vector<std::string>& args = {}) {
    const SMessageInfo* message = FindMessage(id);
    if (message == nullptr) {
        ADD_FAILURE() << "message " << id << " is not in the catalogue";
        return {};
    }
    const std::string format = message->m_pszText;
    std::string text;
    size_t next = 0;
    size_t placeholders = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            text += format[i];
            continue;
        }
        size_t end = i + 1;
        while (end < format.size() && std::string_view("0123456789.-").find(format[end]) != std::string_view::npos)
            ++end;
        ++placeholders;
        if (next < args.size())
            text += args[next++];
        else if (!args.empty())
            text += args.back();
        i = end;
    }
    EXPECT_TRUE(placeholders == 0 || !args.empty()) << "message " << id << " needs its arguments";
    return text;
}

}  // namespace taluna_test
