// The web page around an exported model: the template's fields filled in, the
// scripts inlined, and a Content-Security-Policy that lets only those scripts run.
#include "export/WebPage.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "export/GltfWriter.h"
#include "platform/RegularFile.h"
#include "platform/Text.h"

namespace orx {

namespace {

// Scripts larger than this are not three.js: a guard against reading a wrong file.
constexpr long kScriptLimit = 64L * 1024 * 1024;

// The scripts of three.js r111 the page inlines, below its folder.
constexpr const char* kThreeScripts[3][2] = {
    {"THREE", "three.min.js"},
    {"GLTF_LOADER", "examples/js/loaders/GLTFLoader.js"},
    {"ORBIT_CONTROLS", "examples/js/controls/OrbitControls.js"},
};

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::FILE* f = OpenRegularFile(path);
    if (!f) return false;
    bytes.clear();
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        bytes.append(chunk, n);
        if (static_cast<long>(bytes.size()) > kScriptLimit) break;
    }
    const bool ok = !std::ferror(f) && static_cast<long>(bytes.size()) <= kScriptLimit;
    std::fclose(f);
    return ok;
}

// True when the text would end or change the script element it is put into.
bool BreaksScriptElement(const std::string& text) {
    const std::string lower = AsciiLowerCase(text);
    return lower.find("</script") != std::string::npos || lower.find("<!--") != std::string::npos ||
           lower.find("<script") != std::string::npos;
}

// A number for JSON, the same in every locale.
std::string JsonNumber(double value) {
    if (!std::isfinite(value)) value = 0.0;
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), result.ptr);
}

std::string JsonTriple(const double* v) {
    return "[" + JsonNumber(v[0]) + "," + JsonNumber(v[1]) + "," + JsonNumber(v[2]) + "]";
}

// Replaces every "@NAME@" of a known field in one pass, so that no filled-in text
// is read as a field again. False when a field is missing from the template.
bool FillFields(const std::string& text, const std::map<std::string, std::string>& fields,
                std::string& out, std::string& missing) {
    out.clear();
    out.reserve(text.size() + 4096);
    std::map<std::string, int> used;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t at = text.find('@', pos);
        if (at == std::string::npos) break;
        const size_t end = text.find('@', at + 1);
        if (end == std::string::npos) break;
        const auto field = fields.find(text.substr(at + 1, end - at - 1));
        if (field == fields.end()) {
            out.append(text, pos, at + 1 - pos);
            pos = at + 1;
            continue;
        }
        out.append(text, pos, at - pos);
        out += field->second;
        ++used[field->first];
        pos = end + 1;
    }
    out.append(text, pos, std::string::npos);
    for (const auto& [name, value] : fields) {
        if (used[name] == 0) {
            missing = name;
            return false;
        }
    }
    return true;
}

// The hashes of the contents of every element opened exactly as `open`.
std::string ContentHashes(const std::string& page, const std::string& open,
                          const std::string& close) {
    std::string hashes;
    size_t pos = 0;
    while ((pos = page.find(open, pos)) != std::string::npos) {
        const size_t start = pos + open.size();
        const size_t end = page.find(close, start);
        if (end == std::string::npos) break;
        hashes += " 'sha256-" + Sha256Base64(page.substr(start, end - start)) + "'";
        pos = end + close.size();
    }
    return hashes;
}

// SHA-256 as FIPS 180-4 gives it.
class Sha256 {
public:
    std::array<uint8_t, 32> Digest(const std::string& bytes) {
        std::string padded = bytes;
        padded += static_cast<char>(0x80);
        while (padded.size() % 64 != 56) padded += '\0';
        const uint64_t bits = static_cast<uint64_t>(bytes.size()) * 8;
        for (int i = 7; i >= 0; --i) padded += static_cast<char>((bits >> (8 * i)) & 0xFF);
        for (size_t block = 0; block < padded.size(); block += 64)
            Compress(reinterpret_cast<const uint8_t*>(padded.data() + block));
        std::array<uint8_t, 32> out{};
        for (int i = 0; i < 32; ++i)
            out[i] = static_cast<uint8_t>(m_h[i / 4] >> (24 - 8 * (i % 4)));
        return out;
    }

private:
    static uint32_t Rotr(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

    void Compress(const uint8_t* p) {
        static constexpr uint32_t kK[64] = {
            0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
            0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
            0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
            0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
            0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
            0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
            0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
            0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
            0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
            0xc67178f2};
        uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = (uint32_t(p[4 * i]) << 24) | (uint32_t(p[4 * i + 1]) << 16) |
                   (uint32_t(p[4 * i + 2]) << 8) | uint32_t(p[4 * i + 3]);
        for (int i = 16; i < 64; ++i) {
            const uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        uint32_t a = m_h[0], b = m_h[1], c = m_h[2], d = m_h[3], e = m_h[4], f = m_h[5], g = m_h[6],
                 h = m_h[7];
        for (int i = 0; i < 64; ++i) {
            const uint32_t t1 =
                h + (Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25)) + ((e & f) ^ (~e & g)) + kK[i] + w[i];
            const uint32_t t2 =
                (Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        const uint32_t add[8] = {a, b, c, d, e, f, g, h};
        for (int i = 0; i < 8; ++i) m_h[i] += add[i];
    }

    uint32_t m_h[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                       0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
};

}  // namespace

std::string ThreeJsFolder() {
    const char* folder = std::getenv("ORX_THREE_DIR");
    return folder && *folder ? folder : "/usr/share/javascript/three";
}

std::string Base64(const std::string& bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t v = (uint32_t(uint8_t(bytes[i])) << 16) |
                           (uint32_t(uint8_t(bytes[i + 1])) << 8) | uint8_t(bytes[i + 2]);
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += kDigits[(v >> 6) & 63];
        out += kDigits[v & 63];
    }
    if (i < bytes.size()) {
        const bool two = i + 1 < bytes.size();
        const uint32_t v =
            (uint32_t(uint8_t(bytes[i])) << 16) | (two ? uint32_t(uint8_t(bytes[i + 1])) << 8 : 0);
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += two ? kDigits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string Sha256Base64(const std::string& bytes) {
    const std::array<uint8_t, 32> digest = Sha256().Digest(bytes);
    return Base64(std::string(digest.begin(), digest.end()));
}

std::string EscapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            // No model text can then look like a field of the template.
            case '@': out += "&#64;"; break;
            default: out += c;
        }
    }
    return out;
}

bool BuildWebPage(const std::string& templatePath, const std::string& threeFolder,
                  const WebPageContent& content, std::string& page, std::string& error) {
    std::map<std::string, std::string> fields;
    for (const auto& [field, file] : kThreeScripts) {
        const std::string path = threeFolder + (threeFolder.ends_with('/') ? "" : "/") + file;
        std::string& script = fields[field];
        if (!ReadWholeFile(path, script)) {
            error = "Für die Webseite fehlt three.js:\n" + path +
                    "\nBitte das Debian-Paket libjs-three installieren (sudo apt install "
                    "libjs-three).";
            return false;
        }
        if (BreaksScriptElement(script)) {
            error = "Dieses three.js kann nicht in eine Webseite eingebettet werden:\n" + path;
            return false;
        }
    }
    std::string text;
    if (!ReadWholeFile(templatePath, text)) {
        error = "Die Vorlage der Webseite fehlt oder kann nicht gelesen werden:\n" + templatePath;
        return false;
    }
    // The header line as UTF-8 (a design program on Windows writes Windows-1252).
    const std::string title = EscapeHtml(TextAsUtf8(content.header));
    fields["TITLE"] = title.empty() ? "Modell" : title;
    fields["PROGRAM"] = EscapeHtml(content.program);
    const WebPageView& v = content.view;
    fields["VIEW"] = "{\"angles\":" + JsonTriple(v.angles) + ",\"origin\":" + JsonTriple(v.origin) +
                     ",\"centre\":" + JsonTriple(v.centre) +
                     ",\"extent\":" + JsonNumber(v.extent > 0.0 ? v.extent : 1.0) + "}";
    fields["MODEL"] = Base64(content.glb);
    // Filled in last, when the scripts it names are in place.
    fields["CSP"] = "@CSP@";
    std::string missing;
    if (!FillFields(text, fields, page, missing)) {
        error = "Der Vorlage der Webseite fehlt das Feld @" + missing + "@:\n" + templatePath;
        return false;
    }
    // Nothing may be loaded from anywhere, and only this page's own scripts run; the
    // embedded texture reaches the loader as a blob.
    const std::string policy = "default-src 'none'; script-src" +
                               ContentHashes(page, "<script>", "</script>") + "; style-src" +
                               ContentHashes(page, "<style>", "</style>") +
                               "; img-src blob: data:; base-uri 'none'; form-action 'none'";
    const size_t at = page.find("@CSP@");
    page.replace(at, 5, policy);
    return true;
}

}  // namespace orx
