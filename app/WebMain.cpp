// The program's entry in a browser page: WinMain over the web window
// backend, with the viewer's look read from the page's address (or what the
// page kept of the viewer's last choice). When WinMain returns, the page says
// that the tunnel has ended, and nothing draws any more.

#include "app/MessageLoop.h"
#include "effect/EffectRenderer.h"
#include "look/LookSettings.h"
#include "platform/ReportError.h"
#include "platform/Win32.h"
#include "web/WebBackend.h"

#include <cstdio>
#include <string>

extern "C" {
void WebProgramEnded(int exitCode);                       // WebBackend.js
int WebLookText(const char* name, char* text, int size);  // 1 when the page has a value
}

namespace {

char g_instanceObject;  // its address stands in for the module instance

template <typename Value>
void ReadLookValue(const char* name, bool (*parse)(std::string_view, Value*), Value* value,
                   const char* accepted)
{
    char text[64];
    if (WebLookText(name, text, sizeof text) == 0)
        return;
    if (!parse(text, value))
        std::fprintf(stderr, "zelk-tunnel: %s=%s is not %s; kept as it was\n", name, text,
                     accepted);
}

void ReadLook()
{
    ReadLookValue("shape", ParseLookShape, &g_look.shape, kLookShapeValues);
    ReadLookValue("speed", ParseLookSteps, &g_look.speedSteps, kLookStepValues);
    ReadLookValue("focal", ParseLookSteps, &g_look.focalSteps, kLookStepValues);
    ReadLookValue("quads", ParseLookQuads, &g_look.quadsPerRing, kLookQuadsValues);
}

// The picture the viewer gave the page: the texture from now on, at once when
// the tunnel runs, else from its start.
void ShowViewerPicture(const char* path)
{
    g_look.picture = path;
    if (g_running)
        RebuildEffectGl();
}

}  // namespace

int main()
{
    std::string reason;
    if (!StartWebBackend(&reason)) {
        ReportError("web", "%s", reason.c_str());
        WebProgramEnded(1);
        return 1;
    }
    SetWebGlRebuilder(RebuildEffectGl);
    SetWebPictureHandler(ShowViewerPicture);
    ReadLook();
    char noArguments[] = "";
    const int exitCode = WinMain(reinterpret_cast<HINSTANCE>(&g_instanceObject), nullptr,
                                 noArguments, SW_SHOWNORMAL);
    StopWebBackend();
    WebProgramEnded(exitCode);
    return exitCode;
}
