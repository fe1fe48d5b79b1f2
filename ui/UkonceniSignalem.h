#pragma once
// SIGTERM, SIGINT and SIGHUP close the main window as its close button does, so the settings are
// saved and the port is released (session logout, kill, Ctrl+C in a terminal). The signal only
// writes to a pipe; the window is closed from the event loop.

class QWidget;

void ZavirejPriSignalu(QWidget& window);

// True once one of those signals has come: the close then asks nothing.
bool UkoncujeSeSignalem();
