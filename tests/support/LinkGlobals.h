#pragma once
// The link's globals as a fresh program has them; every test that uses a link starts from here.

#include "telegramy.h"

inline void ResetLinkGlobals() {
    LastMesLength = 0;
    Zapisuju = false;
    PocCyklu = 0;
}
