#include "CommandLine.h"
#include "MainWindow.h"
#include "ReaderWatcher.h"
#include "Report.h"
#include "ReportFile.h"
#include "Resource.h"
#include "SkinEngine.h"
#include "SkinFile.h"
#include "UrlProtocol.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    const std::string badOption = FindBadOption(commandLine, {"report", "skin"});
    if (!badOption.empty())
        return ReportBadOption(badOption.c_str());
    std::string reportPath;
    if (FindOption(commandLine, "report", reportPath))
        return WriteReportFile(reportPath.c_str());

    RegisterUrlProtocol(commandLine);
    EngineStart(instance);
    std::string skinPath;
    if (!FindOption(commandLine, "skin", skinPath) || !LoadSkinFile(skinPath.c_str()))
        LoadSkinFromResource(instance, "SKINRES", "VELTRAMOX");
    SetDialogSkinName("Dialog");
    LoadAppStrings(instance);
    RegisterMainWindowClass(instance);
    BuildReport(g_report);
    if (!CreateMainWindow(instance, showCommand))
        return 0;
    StartReaderWatcher(MainWindow(), kReadersChangedMessage);
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0))
        ProcessLoopMessage(msg, accelerators);
    StopReaderWatcher();
    EngineStop();
    return static_cast<int>(msg.wParam);
}
