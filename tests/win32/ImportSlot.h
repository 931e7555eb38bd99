#pragma once
// This executable's own import table, so that a test can stand between the
// code under test and a system function without changing that code.

#include <cstdint>

// The slot through which this executable calls `function` of `dll`; nullptr when it does not.
std::uintptr_t* importSlot(const char* dll, const char* function);

// Points the slot at `target`.
void replaceImport(std::uintptr_t* slot, std::uintptr_t target);
