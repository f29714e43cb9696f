// Saving and printing the picture on screen.
#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>
#include <string>

#include "app/ViewerDlg.h"
#include "image/PictureFilter.h"
#include "image/WindowCapture.h"
#include "platform/Text.h"
#include "ui/SettingsKeys.h"

namespace orx {

namespace {

// Height on paper of a w x h picture spread over the printable width, corrected for printer
// pixels that are not square. The product exceeds 32 bits on ordinary printers.
int PrintedHeight(int w, int h, int horzRes, int dpiX, int dpiY) {
    if (w <= 0 || dpiX <= 0) return 0;
    const double value = std::trunc(double(h) * dpiY * horzRes / (double(w) * dpiX));
    if (!(value > 0)) return 0;
    return value >= double(INT_MAX) ? INT_MAX : int(value);
}

// The file types of the save dialog's filter list, in its order.
constexpr const char* kSaveTypes[] = {"jpg", "bmp", "png"};

// The place of a type ("png") in that list; -1 for none.
int SaveTypeIndex(const std::string& type) {
    for (size_t i = 0; i < std::size(kSaveTypes); ++i)
        if (type == kSaveTypes[i]) return static_cast<int>(i);
    return -1;
}

}  // namespace

void CViewerDlg::OnSavePicture() {
    // No timer work (rotation, demo, follow mode) while the dialog is open.
    m_bTimerActive = 0;

    // The dialog offers the type and the folder of the picture saved last.
    const std::string storedType = m_pProfile->ReadString(m_strSection, key::kPictureType);
    const int typeIndex = std::max(SaveTypeIndex(storedType), 0);
    const std::string type = kSaveTypes[typeIndex];
    FileDialogSpec spec;
    spec.defaultExt = type;
    spec.initialName = "*." + type;
    spec.filter = kSaveFilter;
    spec.selectedFilter = typeIndex;
    spec.hideReadOnly = true;
    spec.initialFolder = SaveDialogFolder(key::kPictureFolder, Platform::UserFolder::Pictures);

    // Taken before the dialog shows, so the dialog is never in the picture. The
    // marker of a picked part is left out of it, as the text about it is.
    CWindowCapture capture;
    const bool plain = DrawPlainFrame();
    capture.Capture(m_platform, m_platform.GetClientRect());
    m_bPlainFrame = false;
    if (plain) m_platform.Invalidate(false);

    const std::optional<std::string> chosen = m_platform.SaveFileDialog(spec);
    if (chosen) {
        RememberDialogFolder(*chosen, key::kPictureFolder);
        const std::string ending = LowerExtension(*chosen);
        const std::string chosenType =
            ending.size() == 4 && ending[0] == '.' ? ending.substr(1) : "";
        if (SaveTypeIndex(chosenType) >= 0 && chosenType != storedType)
            m_pProfile->WriteString(m_strSection, key::kPictureType, chosenType);
        capture.Save(*chosen);
    }

    capture.Release();
    m_platform.Invalidate(true);
    m_bTimerActive = 1;
}

void CViewerDlg::OnPrintPicture() {
    const Rect client = m_platform.GetClientRect();
    const int w = client.right;
    const int h = client.bottom;

    CWindowCapture capture;
    const bool plain = DrawPlainFrame();
    capture.Capture(m_platform, client);
    m_bPlainFrame = false;
    if (plain) m_platform.Invalidate(false);

    // Printing happens exactly when the dialog hands back a printer.
    std::unique_ptr<PrintJob> job = m_platform.PrintDialog();
    if (job) {
        job->StartDoc("test");
        job->StartPage();
        const int horzRes = job->GetDeviceCaps(HORZRES);
        const int dpiX = job->GetDeviceCaps(LOGPIXELSX);
        const int dpiY = job->GetDeviceCaps(LOGPIXELSY);
        const int printedHeight = PrintedHeight(w, h, horzRes, dpiX, dpiY);
        // What lies below the page is cut off by the printer.
        capture.Draw(*job, Rect{0, 0, horzRes, printedHeight}, Rect{0, 0, w, h});
        job->EndPage();
        job->EndDoc();
    }
    capture.Release();
}

}  // namespace orx
