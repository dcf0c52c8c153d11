#pragma once
// The whole-file rules of the revision 5 profile, run after the written
// semantic passes: the blocks added after revision 2 (openers, closers, the keys
// that belong inside them, nesting), the Slot lines against the file's modules,
// and keywords of a later revision than the file declares.

#include "model/key_database.h"
#include "model/taluna_context.h"

void RunRev5Rules(CTalunaContext& context, const CKeyDatabase& database, const void* doc);
