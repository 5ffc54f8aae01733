// Exchanges whose reply did not come whole. The routines go on as they
// always have with whatever is in their buffers (a reply that does not come
// leaves the bytes of the request there); this record, kept below them where
// the replies are read, lets benchcom-run tell afterwards that an instrument
// did not answer. Noting costs nothing until a reply falls short, and then
// allocates nothing: the first exchange is kept in words, the rest counted.
#pragma once

#include "platform/win32_api.h"

namespace bc {

// A frame (`head` holds its first bytes, `sent` of them went out) whose reply
// of fixed length brought `got` of the `wanted` bytes. `kind` names it
// ("adapter frame").
void noteShortFrame(const char* kind, const unsigned char* head, DWORD sent, DWORD got, DWORD wanted);

// A text command whose reply brought `got` bytes of the `wanted` (0 when the
// reply has no fixed length, and so fell short only by bringing nothing).
void noteShortTextReply(const char* command, DWORD got, DWORD wanted);

// How many exchanges have been noted since the last forgetShortReplies.
int shortReplyCount();
// The first of them in words, e.g. `adapter frame 5A 01 got 0 of 3 reply
// bytes`, `"*LRN?\r" got no reply`; "" when there is none.
const char* firstShortReply();
void forgetShortReplies();

}  // namespace bc
