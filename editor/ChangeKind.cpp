#include "editor/ChangeKind.h"

#include <algorithm>
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
    const auto found = std::find_if(kClassifications.begin(), kClassifications.end(),
                                    [request](const Classification& entry) { return entry.request == request; });
    const ChangeKind kind = found == kClassifications.end() ? ChangeOther : found->kind;
    return kind == ChangePaste && previous == ChangeCut ? ChangeMove : kind;
}
