#include "editor/ChangeKind.h"

#include <array>

namespace {

struct Classification {
    EditRequest request;
    ChangeKind kind;
};

constexpr std::array<Classification, 8> kClassifications = {{
    {EditRequest::Char, ChangeInsert},
    {EditRequest::ReplaceSel, ChangeInsert},
    {EditRequest::KeyDelete, ChangeDelete},
    {EditRequest::KeyBack, ChangeBackspace},
    {EditRequest::Cut, ChangeCut},
    {EditRequest::Paste, ChangePaste},
    {EditRequest::SetCharFormat, ChangeOther},
    {EditRequest::Other, ChangeOther},
}};

} // namespace

ChangeKind ClassifyChange(EditRequest request, int previous)
{
    ChangeKind kind = ChangeOther;
    for (const Classification& entry : kClassifications) {
        if (entry.request == request)
            kind = entry.kind;
    }
    return kind == ChangePaste && previous == ChangeCut ? ChangeMove : kind;
}
