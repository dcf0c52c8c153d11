#include "check/module_config.h"

#include "base/check_message.h"
#include "base/message_catalogue.h"
#include "base/string_table.h"
#include "base/value_scanners.h"

namespace {

constexpr size_t npos = std::string::npos;

bool IsSpecialFormat(std::uint8_t b) {
    return (b & 0x30) == 0;
}

void Report(CTalunaContext& context, const CKeyEntry& entry, int id, std::initializer_list<CFormatArg> args) {
    context.AddFinding(KindOf(id), entry.m_LongLine, id, args, context.m_CheckedDoc.m_pDoc);
}

}  // namespace

int FollowingBytes(std::uint8_t b) {
    if (!IsSpecialFormat(b)) return 0;
    int count = (b & 0x0F) == 0x0F ? 0 : (b & 0x0F);
    if (b & 0x80) ++count;
    if (b & 0x40) ++count;
    return count;
}

void CheckModuleConfig(CTalunaContext& context, CKeyEntry& entry, std::string_view config) {
    entry.m_nValues = 1;
    std::uint32_t byte = 0;
    if (config.find(',') != npos) {
        int pending = 0;
        size_t pos = 0;
        for (;;) {
            const size_t comma = config.find(',', pos);
            const std::string_view token = config.substr(pos, comma == npos ? npos : comma - pos);
            if (!ScanNumber(token, WIDTH_U8, &byte)) {
                Report(context, entry, IDS_OUT_OF_RANGE, {entry.m_Keyword, "0x00-0xff"});
                return;
            }
            if (pending > 0)
                --pending;
            else
                pending = FollowingBytes(static_cast<std::uint8_t>(byte));
            if (comma == npos) break;
            pos = comma + 1;
            while (pos < config.size() && config[pos] == ' ') ++pos;
            ++entry.m_nValues;
        }
        if (pending > 0) Report(context, entry, IDS_CONFIG_INVALID, {entry.m_Keyword});
    } else {
        if (!ScanNumber(config, WIDTH_U8, &byte)) {
            Report(context, entry, IDS_OUT_OF_RANGE, {entry.m_Keyword, "0x00-0xff"});
            return;
        }
        if (byte != 0 && IsSpecialFormat(static_cast<std::uint8_t>(byte)))
            Report(context, entry, IDS_CONFIG_INVALID, {entry.m_Keyword});
    }
    entry.m_bSyntaxOk = 1;
}
