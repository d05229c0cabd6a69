// The DLL entry point: nothing is set up at load or torn down at unload.
#include "platform/windows_api.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
