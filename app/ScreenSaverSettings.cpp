#include "app/ScreenSaverSettings.h"

#include <commctrl.h>
#include <commdlg.h>

#include <string>

#include "app/ScreenSaverDialogIds.h"
#include "app/ScreenSaverRegistry.h"
#include "effect/EffectState.h"
#include "look/LookSettings.h"

namespace {

const char* const kShapeNames[] = {"Plain", "Rippled"};
const char* const kQuadCounts[] = {"8", "16", "32", "64"};

std::string ItemText(HWND dialog, int id)
{
    const int length = GetWindowTextLengthA(GetDlgItem(dialog, id));
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetDlgItemTextA(dialog, id, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

void ShowLook(HWND dialog, const LookSettings& look)
{
    SendDlgItemMessageA(dialog, IDC_SAVER_SHAPE, CB_SETCURSEL,
                        look.shape == LookShape::kRippled ? 1 : 0, 0);
    SendDlgItemMessageA(dialog, IDC_SAVER_SPEED_SPIN, UDM_SETPOS32, 0, look.speedSteps);
    SendDlgItemMessageA(dialog, IDC_SAVER_FOCAL_SPIN, UDM_SETPOS32, 0, look.focalSteps);
    const std::string quads = std::to_string(look.quadsPerRing);
    SendDlgItemMessageA(dialog, IDC_SAVER_QUADS, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(quads.c_str()));
    SetDlgItemTextA(dialog, IDC_SAVER_PICTURE, look.picture.c_str());
    CheckDlgButton(dialog, IDC_SAVER_SHOW_RATE, look.showRate ? BST_CHECKED : BST_UNCHECKED);
}

void SetUp(HWND dialog)
{
    for (const char* name : kShapeNames)
        SendDlgItemMessageA(dialog, IDC_SAVER_SHAPE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(name));
    for (const char* count : kQuadCounts)
        SendDlgItemMessageA(dialog, IDC_SAVER_QUADS, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(count));
    for (const int spin : {IDC_SAVER_SPEED_SPIN, IDC_SAVER_FOCAL_SPIN})
        SendDlgItemMessageA(dialog, spin, UDM_SETRANGE32, -kLookStepLimit, kLookStepLimit);
    ShowLook(dialog, ReadSaverLook());
}

// One step count as typed; a box naming the accepted values otherwise.
bool ReadSteps(HWND dialog, int id, const char* what, int* steps)
{
    if (ParseLookSteps(ItemText(dialog, id), steps))
        return true;
    const std::string text = std::string(what) + " must be " + kLookStepValues + ".";
    MessageBoxA(dialog, text.c_str(), kWindowTitle, MB_OK | MB_ICONWARNING);
    SetFocus(GetDlgItem(dialog, id));
    SendDlgItemMessageA(dialog, id, EM_SETSEL, 0, -1);
    return false;
}

bool ReadLook(HWND dialog, LookSettings* look)
{
    look->shape = SendDlgItemMessageA(dialog, IDC_SAVER_SHAPE, CB_GETCURSEL, 0, 0) == 1
                      ? LookShape::kRippled
                      : LookShape::kPlain;
    if (!ReadSteps(dialog, IDC_SAVER_SPEED, "The speed", &look->speedSteps) ||
        !ReadSteps(dialog, IDC_SAVER_FOCAL, "The focal", &look->focalSteps))
        return false;
    const LRESULT quads = SendDlgItemMessageA(dialog, IDC_SAVER_QUADS, CB_GETCURSEL, 0, 0);
    if (quads >= 0 && quads < 4)
        ParseLookQuads(kQuadCounts[quads], &look->quadsPerRing);
    look->picture = ItemText(dialog, IDC_SAVER_PICTURE);
    look->showRate = IsDlgButtonChecked(dialog, IDC_SAVER_SHOW_RATE) == BST_CHECKED;
    return true;
}

// The system's open-file dialog, starting at the picture already chosen.
void Browse(HWND dialog)
{
    char path[MAX_PATH] = {};
    const std::string current = ItemText(dialog, IDC_SAVER_PICTURE);
    if (current.size() < MAX_PATH)
        current.copy(path, current.size());
    OPENFILENAMEA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = dialog;
    request.lpstrFilter =
        "Pictures (*.jpg, *.jpeg, *.png, *.bmp)\0*.jpg;*.jpeg;*.png;*.bmp\0"
        "JPEG (*.jpg, *.jpeg)\0*.jpg;*.jpeg\0PNG (*.png)\0*.png\0BMP (*.bmp)\0*.bmp\0"
        "All files (*.*)\0*.*\0";
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrTitle = "Choose the tunnel's picture";
    request.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (GetOpenFileNameA(&request))
        SetDlgItemTextA(dialog, IDC_SAVER_PICTURE, path);
}

INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        SetUp(dialog);
        return TRUE;  // the focus on the first control
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            LookSettings look;
            if (!ReadLook(dialog, &look))
                return TRUE;
            if (!WriteSaverLook(look)) {
                MessageBoxA(dialog, "The settings could not be saved in the registry.",
                            kWindowTitle, MB_OK | MB_ICONERROR);
                return TRUE;
            }
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL:  // also Escape and the close box
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_SAVER_DEFAULTS:
            ShowLook(dialog, LookSettings{});
            return TRUE;
        case IDC_SAVER_BROWSE:
            Browse(dialog);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

}  // namespace

int ShowSaverSettings(HINSTANCE instance, HWND owner)
{
    INITCOMMONCONTROLSEX classes = {};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&classes);
    const INT_PTR answer =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SAVER_SETTINGS), owner, SettingsProc, 0);
    return answer == -1 ? -1 : 0;
}
