// SPDX-License-Identifier: GPL-3.0-or-later
// Keystroke filters of numeric edit boxes, as pure functions: the control's text, its
// selection and the typed key go in; the verdict and the text the control will hold come out.
// Positions count characters. A rejected key is dropped with a beep by the caller. Only keys that
// change the text are judged (characters, Backspace, Ctrl+V, Ctrl+X); other control codes such as
// select all, undo and redo always pass. In the real-number filters a typed "," stands for ".".
#pragma once

#include <string>

namespace kivspc {

inline constexpr char32_t kKeyCtrlA = 1;
inline constexpr char32_t kKeyCtrlC = 3;
inline constexpr char32_t kKeyBackspace = 8;
inline constexpr char32_t kKeyCtrlV = 22;
inline constexpr char32_t kKeyCtrlX = 24;
inline constexpr char32_t kKeyCtrlY = 25;
inline constexpr char32_t kKeyCtrlZ = 26;

enum class KeyVerdict {
    Rejected, // drop the key and beep
    Accepted, // let the control handle the key; `text` is what it will hold (clipboard keys aside)
    Replaced, // the filter handled the key: set `text` and put the caret at `caret`
};

struct KeyInput {
    std::string text;
    int selStart = 0; // caret position when nothing is selected
    int selLength = 0;
    char32_t key = 0;
};

struct KeyResult {
    KeyVerdict verdict = KeyVerdict::Rejected;
    std::string text;
    int caret = 0;
};

KeyResult SignedRealKeyFilter(const KeyInput& in);
KeyResult UnsignedRealKeyFilter(const KeyInput& in);
// The same rules as UnsignedRealKeyFilter, for the text of a combo box.
KeyResult UnsignedRealComboKeyFilter(const KeyInput& in);
KeyResult ProportionKeyFilter(const KeyInput& in);
KeyResult IntegerKeyFilter(const KeyInput& in);

} // namespace kivspc
