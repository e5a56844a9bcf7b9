#pragma once

#include "platform/RichEditHooks.h"

// What the editor was told is about to change; decides how much is recoloured afterwards.
enum ChangeKind : int {
    ChangeNone = 0,
    ChangeOther = 1,
    ChangeInsert = 2,
    ChangeDelete = 3,
    ChangeBackspace = 4,
    ChangeCut = 5,
    ChangePaste = 6,
    ChangeMove = 7,
};

// The kind a request announces. A paste right after a cut is a move: `previous` is the kind
// recorded so far.
ChangeKind ClassifyChange(EditRequest request, int previous);
