#pragma once
// The tests' view of a viewer's private state: every field by its own name, and
// the internal operations that tests drive directly. Construct one over a viewer
// and use it where the viewer's fields are meant.
#include <utility>

#include "app/ViewerDlg.h"

namespace orx {

// A member that passes its arguments on to the viewer's operation of that name.
#define ORX_PROBE_CALL(name)                  \
    template <typename... A>                  \
    decltype(auto) name(A&&... a) {           \
        return d.name(std::forward<A>(a)...); \
    }

class ViewerProbe {
public:
    explicit ViewerProbe(CViewerDlg& viewer) : d(viewer) {}

    CViewerDlg& d;

    decltype(CViewerDlg::m_pSink)& m_pSink = d.m_pSink;
    decltype(CViewerDlg::m_nLiveTick)& m_nLiveTick = d.m_nLiveTick;
    decltype(CViewerDlg::m_pProfile)& m_pProfile = d.m_pProfile;
    decltype(CViewerDlg::m_strModelPath)& m_strModelPath = d.m_strModelPath;
    decltype(CViewerDlg::m_nLiveStamp)& m_nLiveStamp = d.m_nLiveStamp;
    decltype(CViewerDlg::m_liveIdentity)& m_liveIdentity = d.m_liveIdentity;
    decltype(CViewerDlg::m_bAutoRotate)& m_bAutoRotate = d.m_bAutoRotate;
    decltype(CViewerDlg::m_bTimerActive)& m_bTimerActive = d.m_bTimerActive;
    decltype(CViewerDlg::m_nTimerBusy)& m_nTimerBusy = d.m_nTimerBusy;
    decltype(CViewerDlg::m_bLiveFollow)& m_bLiveFollow = d.m_bLiveFollow;
    decltype(CViewerDlg::m_nLightMode)& m_nLightMode = d.m_nLightMode;
    decltype(CViewerDlg::m_bShowAxes)& m_bShowAxes = d.m_bShowAxes;
    decltype(CViewerDlg::m_bShowRoomEdges)& m_bShowRoomEdges = d.m_bShowRoomEdges;
    decltype(CViewerDlg::m_bShowZeroPlane)& m_bShowZeroPlane = d.m_bShowZeroPlane;
    decltype(CViewerDlg::m_nColourScheme)& m_nColourScheme = d.m_nColourScheme;
    decltype(CViewerDlg::m_nBackR)& m_nBackR = d.m_nBackR;
    decltype(CViewerDlg::m_nBackG)& m_nBackG = d.m_nBackG;
    decltype(CViewerDlg::m_nBackB)& m_nBackB = d.m_nBackB;
    decltype(CViewerDlg::m_fTexRepeat)& m_fTexRepeat = d.m_fTexRepeat;
    decltype(CViewerDlg::m_strProgramDir)& m_strProgramDir = d.m_strProgramDir;
    decltype(CViewerDlg::m_rgbaShade0)& m_rgbaShade0 = d.m_rgbaShade0;
    decltype(CViewerDlg::m_rgbaShade1)& m_rgbaShade1 = d.m_rgbaShade1;
    decltype(CViewerDlg::m_rgbaShade2)& m_rgbaShade2 = d.m_rgbaShade2;
    decltype(CViewerDlg::m_rgbaShade3)& m_rgbaShade3 = d.m_rgbaShade3;
    decltype(CViewerDlg::m_rgbaShade4)& m_rgbaShade4 = d.m_rgbaShade4;
    decltype(CViewerDlg::m_rgbaShade5)& m_rgbaShade5 = d.m_rgbaShade5;
    decltype(CViewerDlg::m_rgbaLine)& m_rgbaLine = d.m_rgbaLine;
    decltype(CViewerDlg::m_nDemoTick)& m_nDemoTick = d.m_nDemoTick;
    decltype(CViewerDlg::m_nDemoIndex)& m_nDemoIndex = d.m_nDemoIndex;
    decltype(CViewerDlg::m_demoFiles)& m_demoFiles = d.m_demoFiles;
    decltype(CViewerDlg::m_bounds)& m_bounds = d.m_bounds;
    decltype(CViewerDlg::m_dOrigin)& m_dOrigin = d.m_dOrigin;
    decltype(CViewerDlg::m_nPart)& m_nPart = d.m_nPart;
    decltype(CViewerDlg::m_nPartCount)& m_nPartCount = d.m_nPartCount;
    decltype(CViewerDlg::m_bMeasuring)& m_bMeasuring = d.m_bMeasuring;
    decltype(CViewerDlg::m_nShading)& m_nShading = d.m_nShading;
    decltype(CViewerDlg::m_hRC)& m_hRC = d.m_hRC;
    decltype(CViewerDlg::m_texture)& m_texture = d.m_texture;
    decltype(CViewerDlg::m_nTextureNumber)& m_nTextureNumber = d.m_nTextureNumber;
    decltype(CViewerDlg::m_fScale)& m_fScale = d.m_fScale;
    decltype(CViewerDlg::m_dAngle)& m_dAngle = d.m_dAngle;
    decltype(CViewerDlg::m_bDragging)& m_bDragging = d.m_bDragging;
    decltype(CViewerDlg::m_strLiveIni)& m_strLiveIni = d.m_strLiveIni;
    decltype(CViewerDlg::m_modelCache)& m_modelCache = d.m_modelCache;
    decltype(CViewerDlg::m_bReuseModelList)& m_bReuseModelList = d.m_bReuseModelList;
    decltype(CViewerDlg::m_bBusy)& m_bBusy = d.m_bBusy;

    // The internal operations that tests drive directly.
    ORX_PROBE_CALL(SetupPixelFormat)
    ORX_PROBE_CALL(CreateGLContext)
    ORX_PROBE_CALL(DrawScene)
    ORX_PROBE_CALL(ReadModelFile)
    ORX_PROBE_CALL(ParseModelLine)
    ORX_PROBE_CALL(DrawTriangularPrism)
    ORX_PROBE_CALL(DrawBox)
    ORX_PROBE_CALL(DrawPentagonalPrism)
    ORX_PROBE_CALL(DrawHexagonalPrism)
    ORX_PROBE_CALL(DrawReferenceGeometry)
    ORX_PROBE_CALL(Shade)
};

#undef ORX_PROBE_CALL

inline ViewerProbe Probe(CViewerDlg& viewer) { return ViewerProbe(viewer); }
// Tests that only look take a const viewer; the probe's references stay unwritten there.
inline ViewerProbe Probe(const CViewerDlg& viewer) {
    return ViewerProbe(const_cast<CViewerDlg&>(viewer));
}

}  // namespace orx
