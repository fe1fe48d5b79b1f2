#pragma once
// SIGTERM, SIGINT and SIGHUP close the main window as its close button does, so the settings are
// saved and the port is released (session logout, kill, timeout, Ctrl+C in a terminal). The signal
// only writes to a pipe; the event loop then closes every open modal box (also one shown later,
// during the close) and, once no box is left, closes the window and ends the event loop. Nothing
// of start-up or of a handler is cut short: the window closes only from the main loop.

class QWidget;

// May be called for a new window again (tests); the last window given is the one closed.
void ZavirejPriSignalu(QWidget& window);

// True once one of those signals has come: the close then asks nothing.
bool UkoncujeSeSignalem();
