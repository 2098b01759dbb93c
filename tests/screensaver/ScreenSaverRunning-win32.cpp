// Prints the system's screen-saver-running state (0 or 1); with an argument,
// sets it to that value first. Lets tests see what another process left.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    const UINT spiSetScreenSaverRunning = 97, spiGetScreenSaverRunning = 114;
    UINT previous = 0;
    if (argc > 1) SystemParametersInfoA(spiSetScreenSaverRunning, atoi(argv[1]), &previous, 0);
    BOOL running = FALSE;
    if (!SystemParametersInfoA(spiGetScreenSaverRunning, 0, &running, 0)) return 1;
    printf("%d\n", running ? 1 : 0);
    return 0;
}
