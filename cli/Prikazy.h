#pragma once
// norlink-cli's commands: those on the device (read, write, with the session's loop) and those on
// files only (compare two exports, the handover report). Each returns the program's exit code.

#include "Konzole.h"
#include "Parametry.h"

#include <string_view>

int PrikazZarizeni(const TParametry& p, TKonzoleOkno& okno);
int Rozdil(const TParametry& p, TKonzoleOkno& okno);
int Protokol(const TParametry& p, TKonzoleOkno& okno);
// All of bytes to a descriptor, a pipe's short writes resumed; false with errno set.
bool ZapisVse(int fd, std::string_view bytes);
