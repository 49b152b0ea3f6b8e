#include "FakeEffect.h"

#include "app/MessageLoop.h"
#include "effect/EffectRenderer.h"
#include "effect/EffectState.h"
#include "scripted/ScriptedBackend.h"

FakeEffect g_fakeEffect;

void ResetFakeEffect()
{
    g_fakeEffect = FakeEffect{};
}

bool InitEffect()
{
    ++g_fakeEffect.initCalls;
    g_fakeEffect.clientWidthAtInit = g_clientWidth;
    g_fakeEffect.clientHeightAtInit = g_clientHeight;
    g_fakeEffect.runningAtInit = g_running;
    g_fakeEffect.initCallIndex = ScriptedCalls().size();
    if (g_fakeEffect.onInit)
        g_fakeEffect.onInit();
    return g_fakeEffect.initResult;
}

void RenderFrame()
{
    ++g_fakeEffect.renderCalls;
    g_fakeEffect.renderCallIndices.push_back(ScriptedCalls().size());
    if (g_fakeEffect.onRender)
        g_fakeEffect.onRender(g_fakeEffect.renderCalls);
}

void ShutdownEffect()
{
    ++g_fakeEffect.shutdownCalls;
    g_fakeEffect.runningAtShutdown = g_running;
}
