// Skeleton hidden-mode host.
#include "tesshook32.h"
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return GetFront() == -1 ? 0 : 0; }
