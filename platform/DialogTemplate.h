#pragma once

#include <QFlags>

#include <span>
#include <string_view>

// A dialog described as data: the window and every control in creation order, which is also the
// keyboard tab order. Positions and sizes are in dialog units, which the dialog converts to pixels
// with the base units of its font.

enum class ControlKind {
    Label,
    PushButton,
    Edit,      // single-line, or multi-line with ControlStyle::MultiLine
    ComboBox,  // a drop-down list the user cannot type into
    RichEdit,  // the script editor's control
};

enum class ControlStyle : unsigned {
    TabStop = 1u << 0,
    Border = 1u << 1,
    VScroll = 1u << 2,
    HScroll = 1u << 3,
    // Labels.
    CenterText = 1u << 4,      // centred horizontally and vertically, on one line
    Notify = 1u << 5,          // reports clicks
    SunkenEdge = 1u << 6,
    ModalFrameEdge = 1u << 7,  // a raised double border
    // Edit boxes.
    MultiLine = 1u << 8,
    ReadOnly = 1u << 9,
    AutoVScroll = 1u << 10,    // the toolkit's boxes always scroll with the caret
    AutoHScroll = 1u << 11,    // without it a multi-line box wraps its lines
    UpperCase = 1u << 12,      // every text put in is shown in capital letters
    NoHideSelection = 1u << 13,
    // Drop-down lists.
    Sort = 1u << 14,           // the list keeps its entries in ascending order, ignoring case
    // Push buttons.
    Flat = 1u << 15,
    DefaultButton = 1u << 16,  // Enter anywhere in the dialog clicks it
};
Q_DECLARE_FLAGS(ControlStyles, ControlStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(ControlStyles)

enum class DialogStyle : unsigned {
    Caption = 1u << 0,
    SystemMenu = 1u << 1,   // the close box
    MinimizeBox = 1u << 2,
    AppWindow = 1u << 3,    // a button of its own in the task bar
};
Q_DECLARE_FLAGS(DialogStyles, DialogStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(DialogStyles)

struct DialogRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct ControlTemplate {
    int id;
    std::string_view name;  // the identifier's name, which becomes the widget's objectName
    ControlKind kind;
    ControlStyles style;
    std::string_view text;  // 8-bit text
    DialogRect rect;
};

struct DialogTemplate {
    int id;
    std::string_view caption;
    std::string_view fontFace;
    int fontPointSize;
    int cx;
    int cy;
    DialogStyles style;
    std::span<const ControlTemplate> controls;
};
