// Entry point of PD.EXE.
#include "app/CommanderApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    CCommanderApp app;
    app.commandLine = commandLine ? commandLine : L"";
    int code = 0;
    if (app.InitInstance()) code = app.Run();
    app.ExitInstance();
    return code;
}
