// The manifest compiled into tunnel.exe, read the way Windows reads it
// before the program starts: as the program's activation context.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class ManifestTest : public testing::Test {
protected:
    void SetUp() override
    {
        ACTCTXA request = {};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = TUNNEL_PROGRAM_PATH;
        request.lpResourceName = MAKEINTRESOURCEA(1);  // CREATEPROCESS_MANIFEST_RESOURCE_ID
        context_ = CreateActCtxA(&request);
        ASSERT_NE(INVALID_HANDLE_VALUE, context_)
            << "no valid manifest in " << TUNNEL_PROGRAM_PATH << ", error " << GetLastError();
    }
    void TearDown() override
    {
        if (context_ != INVALID_HANDLE_VALUE)
            ReleaseActCtx(context_);
    }

    std::wstring Setting(const wchar_t* nameSpace, const wchar_t* name)
    {
        wchar_t value[128] = {};
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, context_, nameSpace, name, value, 128, &written))
            return L"(none)";
        return value;
    }

    HANDLE context_ = INVALID_HANDLE_VALUE;
};

TEST_F(ManifestTest, AwareOfEachMonitorsDpiWithCommonControls6)
{
    EXPECT_EQ(L"PerMonitorV2, PerMonitor",
              Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"));
    EXPECT_EQ(L"true/pm", Setting(nullptr, L"dpiAware"));

    // Common controls 6: inside the context, comctl32.dll is redirected to
    // the side-by-side assembly.
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context_, &cookie));
    ACTCTX_SECTION_KEYED_DATA found = {};
    found.cbSize = sizeof found;
    EXPECT_TRUE(FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         "comctl32.dll", &found));
    DeactivateActCtx(0, cookie);
}

}  // namespace
