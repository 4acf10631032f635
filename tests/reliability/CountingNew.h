#pragma once
// What the program has allocated through operator new and the platform's
// zero-filled blocks: the replacements in CountingNew.cpp count every byte
// asked for and given back.

#include <cstddef>

namespace reliability::allocation {

std::size_t LiveBytes();
// The most live bytes since the last ResetPeak.
std::size_t PeakBytes();
void ResetPeak();

}  // namespace reliability::allocation
