// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers typed into the boxes of a dialog: read when the dialog's OK takes them, and refused with a
// message that names the box when they are no number.
#pragma once

#include <string>
#include <string_view>

namespace kivspc {

// [sign] digits [. digits] [e [sign] digits], with a digit somewhere before the exponent: the
// form of a number whether or not a double holds it.
bool HasNumberForm(std::string_view text);

// Why the text of the number box called `name` is no number to go on with: empty when it is one
// (value is set), else name + " is not a number!" or, for a number no double holds,
// name + " is beyond the range of numbers!". Blanks around the number are ignored; an empty box
// holds no number.
std::string NumberEntryProblem(std::string_view text, const std::string& name, double& value);

} // namespace kivspc
