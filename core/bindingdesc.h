#pragma once
#include <string>

class ControlBinding;
class ControlPad;

// What a binding is bound to, in the words of the language pack's "control" items.
std::u16string describeBinding(const ControlBinding& binding);
// Every control of a pad, one per line: A, B, X, Y, then up, down, left, right.
std::u16string describePad(const ControlPad& pad);
