#pragma once
// What a technician should look at before a write, though the write goes ahead: texts nobody gets,
// recipients who get no text, slots referring to an empty telephone number, the same number
// twice. One Czech line each, in the order of the image. Unknown parts (not read) are not
// checked: their placeholder bytes are not the device's.

#include "stav/ZnameData.h"
#include "stav/promenne.h"

#include <string>
#include <vector>

// The expanders 1..pocetExpanderu (kept within 1..8) of the working image and its numbers.
std::vector<std::string> VarovaniPredZapisem(const TNORLINK& recNew, const TZnameData& znama,
                                             int pocetExpanderu);
