// measure-overdraw: runs the tunnel effect without a window and counts, frame
// by frame, the fragments its draw writes (a GL_SAMPLES_PASSED query around
// RenderFrame) against the pixels of the frame, next to the CPU's own count
// of the same triangles: the pixels they cover and the 4 x 4 blocks a
// block-shading rasteriser such as llvmpipe would shade for them.

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "FigureRange.h"
#include "ToolOptions.h"
#include "ToolWindow.h"
#include "TunnelCoverage.h"
#include "effect/EffectRenderer.h"
#include "effect/EffectState.h"

#include <EGL/egl.h>
#include <GL/gl.h>

namespace {

const char kUsage[] =
    "Usage: measure-overdraw [options]\n"
    "Runs the tunnel effect without a window (EGL, Mesa's surfaceless platform)\n"
    "and prints, over the measured frames, the least, mean and greatest of:\n"
    "fragments per pixel counted by the GL (GL_SAMPLES_PASSED around the\n"
    "frame's draw) and by the CPU from the same triangles, triangles per frame,\n"
    "and the pixels of the 4 x 4 blocks shaded per pixel of the frame, counted\n"
    "as the blocks where a triangle covers a pixel and as the blocks its\n"
    "bounding box overlaps.\n"
    "\n"
    "  --size WxH    frame size in pixels (default 640x480)\n"
    "  --skip N      frames drawn before the measured ones (default 0)\n"
    "  --frames N    frames measured (default 60)\n"
    "  --fps N       rate of the simulated clock (default 60)\n"
    "  --per-frame   print each measured frame's figures too\n"
    "  --help        show this text\n"
    "\n"
    "Frame 1 is drawn at time 0. Frames the effect does not draw (no rings)\n"
    "are left out. Exit status: 0 on success, 1 on any error, 2 on a usage error.\n";

struct Options {
    FrameOptions frame = {640, 480, 60.0, 60};
    long skip = 0;
    bool perFrame = false;
};

// The occlusion query of GL 1.5, from the compatibility context.
constexpr GLenum kSamplesPassed = 0x8914;
constexpr GLenum kQueryResult = 0x8866;
using GenQueries = void (*)(GLsizei, GLuint*);
using BeginQuery = void (*)(GLenum, GLuint);
using EndQuery = void (*)(GLenum);
using GetQueryObjectuiv = void (*)(GLuint, GLenum, GLuint*);

struct QueryCalls {
    GenQueries genQueries = nullptr;
    BeginQuery beginQuery = nullptr;
    EndQuery endQuery = nullptr;
    GetQueryObjectuiv getQueryObjectuiv = nullptr;
};

bool LoadQueryCalls(QueryCalls* calls)
{
    calls->genQueries = reinterpret_cast<GenQueries>(eglGetProcAddress("glGenQueries"));
    calls->beginQuery = reinterpret_cast<BeginQuery>(eglGetProcAddress("glBeginQuery"));
    calls->endQuery = reinterpret_cast<EndQuery>(eglGetProcAddress("glEndQuery"));
    calls->getQueryObjectuiv =
        reinterpret_cast<GetQueryObjectuiv>(eglGetProcAddress("glGetQueryObjectuiv"));
    return calls->genQueries != nullptr && calls->beginQuery != nullptr &&
           calls->endQuery != nullptr && calls->getQueryObjectuiv != nullptr;
}

// Returns -1 when the options are fine, else the exit status.
int ParseOptions(int argc, char** argv, Options* options)
{
    ToolOptionHandlers handlers;
    handlers.takeFlag = SetFlagOn("--per-frame", &options->perFrame);
    handlers.takeValue = [options](const std::string& name, const std::string& value) {
        std::string complaint;
        if (TakeFrameOption(name, value, LONG_MAX / 4, &options->frame, &complaint)) {
            return complaint;
        }
        if (name == "--skip") {
            return ParseWholeNumber(value, 0, LONG_MAX / 4, &options->skip)
                       ? std::string()
                       : "--skip wants a number from 0: " + value;
        }
        return "unknown option: " + name;
    };
    return WalkToolOptions(argc, argv, "measure-overdraw", kUsage, handlers);
}

struct Figures {
    FigureRange glFragments;   // per pixel
    FigureRange cpuFragments;  // per pixel
    FigureRange disagreement;  // GL's fragments less the CPU's
    FigureRange trianglesSent;
    FigureRange trianglesKept;
    FigureRange trianglesCovering;
    FigureRange pixelBlocks;  // pixels of the shaded blocks, per pixel
    FigureRange boxBlocks;
    FigureRange rings;
};

void PrintRange(const char* name, const FigureRange& range, const char* format)
{
    std::printf("%-44s", name);
    std::printf(format, range.Min());
    std::printf(format, range.Mean());
    std::printf(format, range.Max());
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    const int status = ParseOptions(argc, argv, &options);
    if (status >= 0) {
        return status;
    }

    ToolWindow window;
    if (!window.Open("measure-overdraw", HeadlessOptions{}, options.frame.width,
                     options.frame.height)) {
        return 1;
    }
    QueryCalls gl;
    if (!LoadQueryCalls(&gl)) {
        std::fprintf(stderr, "measure-overdraw: the GL has no occlusion queries\n");
        return 1;
    }
    GLuint query = 0;
    gl.genQueries(1, &query);

    if (chdir(TUNNEL_ASSETS_DIR) != 0 || !InitEffect()) {
        std::fprintf(stderr, "measure-overdraw: cannot set up the effect in %s\n",
                     TUNNEL_ASSETS_DIR);
        return 1;
    }

    const double pixels = static_cast<double>(options.frame.width) * options.frame.height;
    const double step = 1.0 / options.frame.framesPerSecond;
    Figures figures;
    for (long frame = 1; frame <= options.skip + options.frame.frames; ++frame) {
        // Time from the frame number, not summed: no drift over long runs.
        g_time = static_cast<float>(static_cast<double>(frame - 1) * step);
        g_deltaTime = frame == 1 ? 0.0f : static_cast<float>(step);
        const bool measured = frame > options.skip;
        if (measured) {
            gl.beginQuery(kSamplesPassed, query);
        }
        RenderFrame();
        if (!measured) {
            continue;
        }
        gl.endQuery(kSamplesPassed);
        GLuint samples = 0;
        gl.getQueryObjectuiv(query, kQueryResult, &samples);
        if (glGetError() != GL_NO_ERROR) {
            std::fprintf(stderr, "measure-overdraw: the occlusion query failed\n");
            return 1;
        }
        if (g_ringCount == 0) {
            continue;  // nothing drawn
        }
        const TunnelCoverage cpu = CoverTunnel(options.frame.width, options.frame.height);
        const double glFragments = static_cast<double>(samples);
        const long long kept = cpu.trianglesSent - cpu.trianglesCulled;
        figures.glFragments.Add(glFragments / pixels);
        figures.cpuFragments.Add(static_cast<double>(cpu.pixels) / pixels);
        figures.disagreement.Add(glFragments - static_cast<double>(cpu.pixels));
        figures.trianglesSent.Add(static_cast<double>(cpu.trianglesSent));
        figures.trianglesKept.Add(static_cast<double>(kept));
        figures.trianglesCovering.Add(static_cast<double>(cpu.trianglesCovering));
        const double blockPixels = kShadeBlock * kShadeBlock;
        const double pixelBlocks = static_cast<double>(cpu.pixelBlocks) * blockPixels / pixels;
        const double boxBlocks = static_cast<double>(cpu.boxBlocks) * blockPixels / pixels;
        figures.pixelBlocks.Add(pixelBlocks);
        figures.boxBlocks.Add(boxBlocks);
        figures.rings.Add(static_cast<double>(g_ringCount));
        if (options.perFrame) {
            std::printf(
                "frame %ld: rings %d, fragments/pixel GL %.4f CPU %.4f, triangles %lld sent "
                "%lld kept %lld covering, block pixels/pixel %.3f covered %.3f box\n",
                frame, g_ringCount, glFragments / pixels, static_cast<double>(cpu.pixels) / pixels,
                cpu.trianglesSent, kept, cpu.trianglesCovering, pixelBlocks, boxBlocks);
        }
    }
    if (figures.glFragments.Count() == 0) {
        std::fprintf(stderr, "measure-overdraw: no frame was drawn\n");
        return 1;
    }

    std::printf("%dx%d, frames %ld to %ld at 1/%g s (%ld drawn)\n", options.frame.width,
                options.frame.height, options.skip + 1, options.skip + options.frame.frames,
                options.frame.framesPerSecond, figures.glFragments.Count());
    std::printf("%-44s%12s%12s%12s\n", "", "min", "mean", "max");
    PrintRange("rings", figures.rings, "%12.1f");
    PrintRange("fragments per pixel, GL_SAMPLES_PASSED", figures.glFragments, "%12.4f");
    PrintRange("fragments per pixel, CPU count", figures.cpuFragments, "%12.4f");
    PrintRange("fragments, GL less CPU", figures.disagreement, "%12.0f");
    PrintRange("triangles sent", figures.trianglesSent, "%12.0f");
    PrintRange("triangles not culled", figures.trianglesKept, "%12.0f");
    PrintRange("triangles covering a pixel", figures.trianglesCovering, "%12.0f");
    PrintRange("4x4 block pixels per pixel, covered blocks", figures.pixelBlocks, "%12.3f");
    PrintRange("4x4 block pixels per pixel, box blocks", figures.boxBlocks, "%12.3f");
    ShutdownEffect();
    return 0;
}
