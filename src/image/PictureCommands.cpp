// Saving and printing the picture on screen.
#include <climits>
#include <cmath>

#include "app/ViewerDlg.h"
#include "image/PictureFilter.h"
#include "image/WindowCapture.h"

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

}  // namespace

void CViewerDlg::OnSavePicture() {
    // No timer work (rotation, demo, follow mode) while the dialog is open.
    m_bTimerActive = 0;

    FileDialogSpec spec;
    spec.defaultExt = "jpg";
    spec.initialName = "*.jpg";
    spec.filter = kSaveFilter;
    spec.hideReadOnly = true;

    // Taken before the dialog shows, so the dialog is never in the picture. The
    // marker of a picked part is left out of it, as the text about it is.
    CWindowCapture capture;
    const bool plain = DrawPlainFrame();
    capture.Capture(m_platform, m_platform.GetClientRect());
    m_bPlainFrame = false;
    if (plain) m_platform.Invalidate(false);

    const std::optional<std::string> chosen = m_platform.SaveFileDialog(spec);
    if (chosen) capture.Save(*chosen);

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
