#pragma once
// Texts between the core (Windows-1252 bytes) and Qt widgets, for the tree,
// the key editor form and their dialogs: the program's one Windows-1252 codec
// (app/cp1252.h), which the text of the documents goes through as well.

#include <QString>
#include <string>
#include <string_view>

QString GsdToQt(std::string_view bytes);
std::string QtToGsd(const QString& text);
// A core text with "\r\n" line breaks as a widget shows it.
QString GsdToQtLines(std::string_view bytes);
// The texts of the views' own string-table ids (the user-key dialog's labels),
// taken from the core's table when it has them.
std::string LoadViewString(int id);
