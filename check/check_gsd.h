#pragma once
// The Check GSD command without its window chrome: rebuild, the syntax pass over
// every key, the semantic passes, and the notes around them. Also the single-key
// Check Syntax of the tree view.

#include "model/key_database.h"
#include "model/seams.h"
#include "model/taluna_context.h"

// Checks the document `doc` whose text is `lines` and whose database is `database`.
void RunCheckGsd(CTalunaContext& context, const ILineSource& lines, CKeyDatabase& database, const void* doc);

// Checks the current entry alone after a rebuild; the entry is found again by its
// first line and keyword.
void RunCheckSyntax(CTalunaContext& context, const ILineSource& lines, CKeyDatabase& database, const void* doc);
