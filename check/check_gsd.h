#pragma once
// The Check GSD command without its window chrome: rebuild, the syntax pass over
// every key, the semantic passes, and the notes around them. Also the single-key
// Check Syntax of the tree view.

#include "model/key_database.h"
#include "model/seams.h"
#include "model/taluna_context.h"

// Checks the document `doc` whose text is `lines` and whose database is `database`.
void RunCheckGsd(CTalunaContext& context, const ILineSource& lines, CKeyDatabase& database, const void* doc);

// The GSD_Revision a text declares (the first GSD_Revision line after the
// header, read as a number), or -1 when it declares none. For choosing the
// check profile by the file.
long DeclaredGsdRevision(const ILineSource& lines);

// The profile a check-profile setting (0 classic, 1 revision 5, 2 by the file)
// gives for a text.
ECheckProfile ProfileOfSetting(int setting, const ILineSource& lines);

// Checks the current entry alone after a rebuild; the entry is found again by its
// first line and keyword.
void RunCheckSyntax(CTalunaContext& context, const ILineSource& lines, CKeyDatabase& database, const void* doc);
