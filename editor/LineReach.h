#pragma once

#include <functional>
#include <string_view>

class QsciScintillaBase;

// Walks the text from `from` to `to` the way the editor reads it: `read`, when given, gets each
// stretch of whole lines, or of a long line's first kLineReach bytes, as a view of the editor's
// buffer with its position; `skip` gets the position and length of each long line's unread rest.
// The stretches come in text order, never split a line below the reach, and each is at most
// about twice the reach long, so that walking a long line costs no more than its reach.
void walkReachedText(QsciScintillaBase& editor, long from, long to,
                     const std::function<void(long position, std::string_view text)>& read,
                     const std::function<void(long position, long length)>& skip);

// True when `position` lies in the unread rest of a line longer than kLineReach.
bool isPastLineReach(QsciScintillaBase& editor, long position);
