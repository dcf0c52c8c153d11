#pragma once
// Maps help context ids (command, resource and control bar ids with their bases)
// to the topic pages of the help.

#include <string>

// The topic of a context id; empty when the id has none (the caller then shows
// "default.htm" in the contents view).
std::string HelpTopicForContext(int contextId);
