// The executable's entry: the runtime starts here and hands over to SaverEntry.
#include "shell/SaverShell.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SaverEntry();
    return 0;
}
