#pragma once
// Windows-1252 text in and out of QString, byte-exact: the five bytes that the
// code page leaves undefined map to the C1 control characters of the same value,
// so every byte string survives a decode and an encode.

#include <QString>
#include <string>
#include <string_view>

QString DecodeCp1252(std::string_view bytes);
// Characters outside the code page become '?'.
std::string EncodeCp1252(const QString& text);
