// The nine numbered textures and the load-texture dialog.
#include <GL/gl.h>

#include "app/ViewerDlg.h"
#include "image/PictureFilter.h"
#include "ui/SettingsKeys.h"

namespace orx {

std::string CViewerDlg::NumberedTexturePath(const std::string& programDir, int number) {
    // "%stexturen/textur%d.jpg" with the program folder, which ends in '/'.
    return programDir + "texturen/textur" + std::to_string(number) + ".jpg";
}

bool CViewerDlg::LoadTexture(const std::string& path, const std::string& shownName) {
    const bool read = m_texture.ReadFile(path, -1, -1, -1, shownName);
    m_texture.SwapRedBlue();
    return read;
}

void CViewerDlg::SelectTexture(int number, bool apply) {
    const std::string programDir = m_strProgramDir;
    if (apply) SetDisplayMode(kModeTextured);
    if (number < 1 || number > 9) number = 1;
    // Only the user's choice is stored: the slideshow's own (apply false) would replace
    // the texture the user chose for every later start.
    if (apply && m_pProfile) m_pProfile->WriteInt(m_strSection, key::kTexture, uint16_t(number));
    m_nTextureNumber = number;

    LoadTexture(NumberedTexturePath(programDir, number));

    // Sets the mode's texture state, rebuilds list 1 with the new image and repaints.
    if (apply) SetupGLState(m_nLightMode);
}

void CViewerDlg::OnLoadTexture() {
    FileDialogSpec spec;
    spec.defaultExt = "*.jpg";
    spec.initialName = "*.jpg";
    spec.filter = kPictureFilter;
    spec.hideReadOnly = true;
    spec.overwritePrompt = true;
    spec.initialFolder = DialogFolder();
    const std::optional<std::string> chosen = m_platform.OpenFileDialog(spec);
    if (!chosen) return;
    RememberDialogFolder(*chosen);

    // The dialog gives the full path; the current folder is never changed for it, so
    // the file is opened by that path. Messages name it without its folder.
    const size_t slash = chosen->find_last_of('/');
    LoadTexture(*chosen, slash == std::string::npos ? *chosen : chosen->substr(slash + 1));
    m_nTextureNumber = 0;

    RebuildModel(m_strModelPath);
    m_platform.Invalidate(false);
}

}  // namespace orx
