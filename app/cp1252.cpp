#include "app/cp1252.h"

#include <array>
#include <unordered_map>

namespace {

// Unicode of the bytes 0x80..0x9F; undefined bytes keep their own value.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const std::unordered_map<char16_t, char>& ReverseHigh() {
    static const auto map = [] {
        std::unordered_map<char16_t, char> m;
        for (size_t i = 0; i < kHigh.size(); ++i) m.emplace(kHigh[i], static_cast<char>(0x80 + i));
        return m;
    }();
    return map;
}

}  // namespace

QString DecodeCp1252(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(static_cast<char16_t>(b));
    }
    return text;
}

std::string EncodeCp1252(const QString& text) {
    std::string bytes(static_cast<size_t>(text.size()), '\0');
    const QChar* in = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = in[i].unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes[static_cast<size_t>(i)] = static_cast<char>(u);
        } else {
            const auto& map = ReverseHigh();
            const auto it = map.find(u);
            bytes[static_cast<size_t>(i)] = it == map.end() ? '?' : it->second;
        }
    }
    return bytes;
}
