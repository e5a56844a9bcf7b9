#pragma once

#include "platform/Messages.h"

#include <functional>
#include <vector>

class CDialog;

// The events a dialog routes to its handlers through its message map.
enum class DialogEvent {
    SysCommand,  // a system command; the handler gets the command identifier and an extra value
    Timer,       // a tick of a timer the dialog started; the handler gets the timer identifier
    Command,     // a menu entry was chosen
    Clicked,     // a click on a push button or on a label that reports clicks
    SelChange,   // the user picked another entry of a drop-down list
};

struct DialogMessage {
    DialogEvent event;
    int id = 0;  // the control, command, timer or system command
    LPARAM lParam = 0;
};

struct MessageMapEntry {
    DialogEvent event;
    int id;  // the control or command the entry is for; unused for system commands and timers
    std::function<void(CDialog&, const DialogMessage&)> handler;
};

// A dialog's table of (event, identifier) -> handler, searched in order.
using MessageMap = std::vector<MessageMapEntry>;

// The entries of a message map, one function for each form of handler.
namespace message_map {

template <class Dialog>
MessageMapEntry SysCommand(void (Dialog::*handler)(UINT, LPARAM))
{
    return {DialogEvent::SysCommand, 0, [handler](CDialog& dialog, const DialogMessage& message) {
                (static_cast<Dialog&>(dialog).*handler)(UINT(message.id), message.lParam);
            }};
}

template <class Dialog>
MessageMapEntry Timer(void (Dialog::*handler)(UINT_PTR))
{
    return {DialogEvent::Timer, 0, [handler](CDialog& dialog, const DialogMessage& message) {
                (static_cast<Dialog&>(dialog).*handler)(UINT_PTR(message.id));
            }};
}

template <class Dialog>
MessageMapEntry Notification(DialogEvent event, int id, void (Dialog::*handler)())
{
    return {event, id, [handler](CDialog& dialog, const DialogMessage&) {
                (static_cast<Dialog&>(dialog).*handler)();
            }};
}

template <class Dialog>
MessageMapEntry Command(int id, void (Dialog::*handler)())
{
    return Notification(DialogEvent::Command, id, handler);
}

template <class Dialog>
MessageMapEntry Clicked(int id, void (Dialog::*handler)())
{
    return Notification(DialogEvent::Clicked, id, handler);
}

template <class Dialog>
MessageMapEntry SelChange(int id, void (Dialog::*handler)())
{
    return Notification(DialogEvent::SelChange, id, handler);
}

} // namespace message_map
