// How many GDI objects and kernel handles the process holds, for the leak
// tests and the soak run's diagnostic line. Windows answers GetGuiResources
// and GetProcessHandleCount; Wine 8 answers 0 to both, so there the counts come from the process's GDI handle
// table and from the system's handle list instead.
#pragma once

// -1 when neither way gives an answer.
int GdiObjectCount();
int KernelHandleCount();
