// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KeyFilters.h"

#include "app/TextTools.h"

#include <algorithm>

namespace kivspc {

namespace {

bool IsDigitKey(char32_t k) { return k >= U'0' && k <= U'9'; }
bool IsClipboardKey(char32_t k) { return k == kKeyCtrlC || k == kKeyCtrlV || k == kKeyCtrlX; }
// A control code that neither types, deletes nor pastes: the control's own editing commands.
bool IsEditingKey(char32_t k) { return k < 32 && k != kKeyBackspace && k != kKeyCtrlV && k != kKeyCtrlX; }

// The text as it will be once the selection is gone, and the caret within it.
struct Pending {
    std::string after;
    int caret = 0;
    std::string before; // the text as it stands
};

std::size_t ByteOffset(const std::string& s, int chars) {
    return CharPrefix(s, static_cast<std::size_t>(std::max(chars, 0))).size();
}

Pending Prepare(const KeyInput& in) {
    Pending p;
    p.before = in.text;
    int len = static_cast<int>(CharCount(in.text));
    int start = std::clamp(in.selStart, 0, len);
    int count = std::clamp(in.selLength, 0, len - start);
    std::size_t b = ByteOffset(in.text, start);
    std::size_t e = ByteOffset(in.text, start + count);
    p.after = in.text.substr(0, b) + in.text.substr(e);
    p.caret = start;
    return p;
}

KeyResult Reject(const Pending& p) { return {KeyVerdict::Rejected, p.before, p.caret}; }

KeyResult Replace(std::string text) {
    int caret = static_cast<int>(CharCount(text));
    return {KeyVerdict::Replaced, std::move(text), caret};
}

// What the control does with an accepted key.
KeyResult Accept(const KeyInput& in, const Pending& p) {
    if (in.key == kKeyBackspace) {
        if (in.selLength > 0 || p.caret == 0) return {KeyVerdict::Accepted, p.after, p.caret};
        std::size_t b = ByteOffset(p.after, p.caret - 1);
        std::size_t e = ByteOffset(p.after, p.caret);
        return {KeyVerdict::Accepted, p.after.substr(0, b) + p.after.substr(e), p.caret - 1};
    }
    if (in.key == kKeyCtrlC) return {KeyVerdict::Accepted, p.before, p.caret};
    if (IsClipboardKey(in.key)) return {KeyVerdict::Accepted, p.after, p.caret};
    std::string text = p.after;
    text.insert(ByteOffset(text, p.caret), 1, static_cast<char>(in.key));
    return {KeyVerdict::Accepted, std::move(text), p.caret + 1};
}

// The character just before the caret once the selection is gone; 0 at the start.
char CharBeforeCaret(const Pending& p) {
    const std::size_t at = ByteOffset(p.after, p.caret);
    return at > 0 ? p.after[at - 1] : '\0';
}

KeyResult RealFilter(const KeyInput& in, bool allowSign) {
    Pending p = Prepare(in);
    char32_t k = in.key;
    if (IsDigitKey(k) || k == U'E' || k == U'e' || k == kKeyBackspace || IsClipboardKey(k))
        return Accept(in, p);
    if (k == U'.') {
        if (p.after.find('.') != std::string::npos) return Reject(p);
        if (p.after.empty()) return Replace("0.");
        if (allowSign && p.after == "-") return Replace("-0.");
        return Accept(in, p);
    }
    // A minus leads the number (signed boxes only) or its exponent.
    if (k == U'-') {
        const char before = CharBeforeCaret(p);
        if ((allowSign && p.caret == 0) || before == 'e' || before == 'E') return Accept(in, p);
    }
    return Reject(p);
}

KeyResult SignedRealFilter(const KeyInput& in) { return RealFilter(in, true); }
KeyResult UnsignedRealFilter(const KeyInput& in) { return RealFilter(in, false); }

KeyResult ProportionFilter(const KeyInput& in) {
    Pending p = Prepare(in);
    std::size_t point = p.after.find('.');
    bool hasPoint = point != std::string::npos;
    int pointPos = hasPoint ? static_cast<int>(CharCount(std::string_view(p.after).substr(0, point))) + 1 : 0;
    int k = p.caret;
    char32_t key = in.key;
    bool ok = false;
    if (key == U'.') {
        if (!hasPoint && p.after.empty()) return Replace("0.");
        ok = !hasPoint;
    } else if (key == U'0') {
        ok = (hasPoint && k >= pointPos) || (!hasPoint && k == 0);
    } else if (key >= U'1' && key <= U'9') {
        ok = hasPoint && k > 1;
    } else if (key == kKeyBackspace) {
        ok = hasPoint && k > 2;
    } else if (IsClipboardKey(key)) {
        ok = hasPoint;
    }
    return ok ? Accept(in, p) : Reject(p);
}

KeyResult IntegerFilter(const KeyInput& in) {
    Pending p = Prepare(in);
    if (IsDigitKey(in.key) || in.key == kKeyBackspace || IsClipboardKey(in.key)) return Accept(in, p);
    return Reject(p);
}

// Only keys that change the text are judged; select all, undo, redo, copy and the like are the
// control's own. In a real-number box a comma is typed as the decimal point: users of comma
// locales type it by habit.
KeyResult Judge(KeyResult (*filter)(const KeyInput&), const KeyInput& in, bool commaIsPoint) {
    if (IsEditingKey(in.key)) {
        Pending p = Prepare(in);
        return {KeyVerdict::Accepted, p.before, p.caret};
    }
    if (!commaIsPoint || in.key != U',') return filter(in);
    KeyInput point = in;
    point.key = U'.';
    KeyResult r = filter(point);
    if (r.verdict == KeyVerdict::Accepted) r.verdict = KeyVerdict::Replaced;
    return r;
}

} // namespace

KeyResult SignedRealKeyFilter(const KeyInput& in) { return Judge(SignedRealFilter, in, true); }

KeyResult UnsignedRealKeyFilter(const KeyInput& in) { return Judge(UnsignedRealFilter, in, true); }

KeyResult UnsignedRealComboKeyFilter(const KeyInput& in) { return Judge(UnsignedRealFilter, in, true); }

KeyResult ProportionKeyFilter(const KeyInput& in) { return Judge(ProportionFilter, in, true); }

KeyResult IntegerKeyFilter(const KeyInput& in) { return Judge(IntegerFilter, in, false); }

} // namespace kivspc
