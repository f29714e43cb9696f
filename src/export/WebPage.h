#pragma once
// The shown model as one self-contained web page: a template from the program
// folder, three.js from the system's copy and the model's .glb file, all in one
// HTML file that a browser opens offline.
#include <string>

namespace orx {

// Where the page's three.js is read from: $ORX_THREE_DIR when set, else Debian's
// libjs-three.
std::string ThreeJsFolder();

// The first view of the page, in the .glb file's metres: the viewer's turns and
// origin, and the centre and extent it divides the model by.
struct WebPageView {
    double angles[3] = {0.0, 0.0, 0.0};
    double origin[3] = {0.0, 0.0, -2.0};
    double centre[3] = {0.0, 0.0, 0.0};
    double extent = 1.0;
};

struct WebPageContent {
    std::string glb;      // the bytes of the .glb file
    std::string header;   // the model's header line, any bytes
    std::string program;  // "ORX-View 1.0"
    WebPageView view;
};

// The page from the template file and the three scripts in `threeFolder`. False
// with a German message in `error` when a file is missing, cannot be read or
// would break the page.
bool BuildWebPage(const std::string& templatePath, const std::string& threeFolder,
                  const WebPageContent& content, std::string& page, std::string& error);

// Text for HTML element content and attribute values: & < > " ' @ as references.
std::string EscapeHtml(const std::string& text);

// The base64 text of the SHA-256 digest, as a Content-Security-Policy hash takes it.
std::string Sha256Base64(const std::string& bytes);

std::string Base64(const std::string& bytes);

}  // namespace orx
