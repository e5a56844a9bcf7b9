#pragma once

#include "platform/WinTypes.h"

#include <cstdint>

// Keys a control keeps from the dialog around it (answers to OnGetDlgCode).
constexpr unsigned DLGC_WANTARROWS = 0x0001;
constexpr unsigned DLGC_WANTTAB = 0x0002;
constexpr unsigned DLGC_WANTALLKEYS = 0x0004;
constexpr unsigned DLGC_HASSETSEL = 0x0008;
constexpr unsigned DLGC_WANTCHARS = 0x0080;

// What a multi-line editor keeps by itself: everything but Tab, which moves the focus on.
constexpr unsigned kEditorDialogCode = DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_HASSETSEL | DLGC_WANTCHARS;

// The request that is about to change the editor's text, as its before-change notification names
// it. A request the widget cannot tell apart (a drop, an input method, undo, redo, a key with an
// editing action of its own) is `Other`.
enum class EditRequest : std::uint8_t {
    Char,          // a typed character
    ReplaceSel,    // the selection replaced by a program
    KeyDelete,     // the Delete key
    KeyBack,       // the Backspace key
    Cut,
    Paste,
    SetCharFormat, // colour or bold of a range
    Other,
};

// What the editor widget reports to the control object that owns it. Calls arrive synchronously,
// also while an earlier call is still running.
class RichEditHooks {
public:
    virtual ~RichEditHooks() = default;

    // Before a request changes text or style; answering false refuses it. A request the widget
    // learns of only from the change itself is announced just after it and cannot be refused.
    virtual bool aboutToChange(EditRequest request, CHARRANGE range) = 0;
    // After a request changed text or style.
    virtual void changed() = 0;
    virtual void selectionChanged() = 0;
    // A character typed on the keyboard, as a byte of the code page; the receiver decides whether
    // the widget inserts it.
    virtual void characterTyped(unsigned char character, unsigned repeatCount, unsigned flags) = 0;
    // The DLGC_* flags that say which keys the editor keeps from the dialog.
    virtual unsigned dialogCode() = 0;
};
