#pragma once

// GDI+ for the graphs: started by the first caller, once per process, and shut down when the
// process ends. False when it could not be started (the caller then draws with plain GDI).
bool gdiplus_ready();
