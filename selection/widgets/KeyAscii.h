#pragma once

class QKeyEvent;

namespace KeyAscii {
// The character code a key press hands to the key handlers (Enter 13, Backspace 8);
// 0 for keys that type nothing (arrows, Delete, function keys, Tab), which the
// handlers leave alone.
int of(const QKeyEvent* key);
} // namespace KeyAscii
