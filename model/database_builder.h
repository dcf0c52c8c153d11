#pragma once
// Reads a GSD text line by line and turns every key line into a classified
// CKeyEntry appended to a database. The only place that interprets the GSD
// line syntax: header, comments, continuation lines, quotes and indexes.

#include "model/key_classifier.h"
#include "model/key_database.h"
#include "model/seams.h"
#include "model/taluna_context.h"

// Appends the entries of `lines`, each classified by `classifier`, to `database` (which it does not clear),
// showing progress through the context's progress sink. Lines are taken as the
// source delivers them (the editor hands out at most 1024 characters a line).
void BuildDatabase(CTalunaContext& context, const IKeyClassifier& classifier, const ILineSource& lines,
                   CKeyDatabase& database);

// Empties `database` and builds it again from `lines`; afterwards there is no
// current entry and the key form shows nothing.
void RebuildDatabase(CTalunaContext& context, const IKeyClassifier& classifier, const ILineSource& lines,
                     CKeyDatabase& database);
