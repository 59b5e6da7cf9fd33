// The answers of the y/n questions and the menu's letters, on top of the text
// rules every reader shares.
#pragma once

#include "base/text_rules.h"
#include "record/text_field.h"

namespace telmor {

// The answers of the y/n questions, compared as whole reply fields: "yes"
// is neither.
bool is_yes(const TextField& reply);  // y or Y
bool is_no(const TextField& reply);   // n or N
// A one-letter command in either case: "d" or "D".
bool is_command(const TextField& reply, char lower_case_letter);

}  // namespace telmor
