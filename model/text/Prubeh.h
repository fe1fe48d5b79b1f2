#pragma once
// The progress dialog's second line: how far an operation has got and, at the rate measured so
// far, how long it will still take.

#include <chrono>
#include <string>

// "telegram 143 z 288, zbývá asi 1 min 20 s"; without the time left until the first telegram is
// counted, and without anything when nothing is expected.
std::string PopisPrubehu(int pozice, int maximum, std::chrono::milliseconds uplynulo);
