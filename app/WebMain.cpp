// The program's entry in a browser page: WinMain over the web window
// backend. When WinMain returns, the page says that the program has ended,
// with the exit code, and nothing draws any more.

#include "platform/ReportError.h"
#include "platform/Win32.h"
#include "web/WebBackend.h"

#include <string>

extern "C" void WebProgramEnded(int exitCode);  // WebBackend.js

namespace {

char g_instanceObject;  // its address stands in for the module instance

}  // namespace

int main()
{
    std::string reason;
    if (!StartWebBackend(&reason)) {
        ReportError("web", "%s", reason.c_str());
        WebProgramEnded(1);
        return 1;
    }
    char noArguments[] = "";
    const int exitCode = WinMain(reinterpret_cast<HINSTANCE>(&g_instanceObject), nullptr,
                                 noArguments, SW_SHOWNORMAL);
    StopWebBackend();
    WebProgramEnded(exitCode);
    return exitCode;
}
