// One record line through the parser and the emitters (recording nothing).
#include <string>

#include "FuzzSupport.h"
#include "ViewerProbe.h"
#include "app/ViewerDlg.h"

namespace {
class NullSink : public orx::GlSink {
    void Begin(GLenum) override {}
    void End() override {}
    void Normal3d(double, double, double) override {}
    void TexCoord2f(float, float) override {}
    void Color4ubv(const unsigned char*) override {}
    void Color3f(float, float, float) override {}
    void Vertex3d(double, double, double) override {}
    void Vertex3f(float, float, float) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static orx::CViewerDlg* dlg = [] {
        auto* d = new orx::CViewerDlg(orx::fuzz::Platform());
        static NullSink sink;
        orx::Probe(*d).m_pSink = &sink;
        orx::Probe(*d).m_bounds.extent = 1.0;
        return d;
    }();
    const std::string line(reinterpret_cast<const char*>(data), size);
    for (int part : {-2, 1}) {
        orx::Probe(*dlg).m_nPart = part;
        for (int mode = 0; mode <= 5; mode += 1) {
            orx::Probe(*dlg).m_nShading = mode;
            orx::Probe(*dlg).m_bMeasuring = mode == 5;
            orx::Probe(*dlg).ParseModelLine(line);
        }
    }
    return 0;
}
