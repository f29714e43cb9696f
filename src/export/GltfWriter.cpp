// The glTF writer. A first pass gathers every part once: the number of its
// triangles, the bounds of its positions and a fingerprint of its shape, by which
// parts of the same shape up to a translation are given one mesh. From that the
// JSON is written (once into a counter for its length, once into the file) with a
// streaming JSON writer, then the binary chunk: a second pass gathers the part that
// holds each mesh again and writes its vertices, interleaved (position, normal,
// texture coordinates or colour), then the texture image.
#include "export/GltfWriter.h"

#include <png.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <ostream>
#include <streambuf>
#include <unordered_map>

#include "geometry/DesignColour.h"
#include "platform/ReplacingFile.h"
#include "ui/WindowsPath.h"

namespace orx {

namespace {

constexpr double kMetresPerMillimetre = 0.001;
// The whole file's length is a 32-bit field.
constexpr uint64_t kLargestGlb = 0xFFFFFFFFu;
constexpr uint32_t kGlbMagic = 0x46546C67;     // "glTF"
constexpr uint32_t kChunkJson = 0x4E4F534A;    // "JSON"
constexpr uint32_t kChunkBinary = 0x004E4942;  // "BIN"
constexpr int kFloat = 5126;
constexpr int kArrayBuffer = 34962;

// An sRGB byte as the linear value glTF's colours hold.
double LinearOf(unsigned char byte) {
    const double v = static_cast<double>(byte) / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// The same for vertex colours, from a table of the 256 values: a large model has
// millions of corners and few colours.
float LinearFromSrgb(unsigned char byte) {
    static const std::array<float, 256> kTable = [] {
        std::array<float, 256> table{};
        for (size_t b = 0; b < table.size(); ++b)
            table[b] = static_cast<float>(LinearOf(static_cast<unsigned char>(b)));
        return table;
    }();
    return kTable[byte];
}

void AppendPng(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// The texture image as a PNG file in memory, its rows in the order given.
bool EncodePng(const GltfLook& look, std::vector<unsigned char>& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendPng, nullptr);
    png_set_IHDR(png, info, look.width, look.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t row = 0; row < look.height; ++row)
        png_write_row(png, look.pixels + static_cast<size_t>(row) * look.rowBytes);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

// RapidJSON output streams: one that only counts, one that writes through a buffer.
struct CountingStream {
    using Ch = char;
    void Put(char) { ++count; }
    void Flush() {}
    uint64_t count = 0;
};

class BufferedStream {
public:
    using Ch = char;
    explicit BufferedStream(std::ostream& out) : m_out(out) {}
    void Put(char c) {
        if (m_used == m_buffer.size()) Flush();
        m_buffer[m_used++] = c;
    }
    void Flush() {
        m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_used));
        m_used = 0;
    }

private:
    std::ostream& m_out;
    std::array<char, 1 << 16> m_buffer{};
    size_t m_used = 0;
};

// A std::ostream target that writes to a C stream and remembers a failed write.
class FileStreamBuffer final : public std::streambuf {
public:
    explicit FileStreamBuffer(FILE* file) : m_file(file) {}
    bool Failed() const { return m_failed; }

protected:
    std::streamsize xsputn(const char* data, std::streamsize n) override {
        // An empty write (an empty chunk's bytes) may come with no buffer at all.
        if (n <= 0) return 0;
        const size_t written = std::fwrite(data, 1, static_cast<size_t>(n), m_file);
        if (written != static_cast<size_t>(n)) m_failed = true;
        return static_cast<std::streamsize>(written);
    }
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        const char ch = traits_type::to_char_type(c);
        return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
    }

private:
    FILE* m_file;
    bool m_failed = false;
};

// The fingerprint of a part's shape: 128 bits of its material, its vertex count and
// every value written for its vertices with the part moved to its first corner.
struct ShapeKey {
    uint64_t a = 0xCBF29CE484222325u;
    uint64_t b = 0x9E3779B97F4A7C15u;
    void Add(uint32_t word) {
        a = (a ^ word) * 0x100000001B3u;
        b = (b + word * 0xC2B2AE3D27D4EB4Fu);
        b = ((b << 31) | (b >> 33)) * 0x9E3779B97F4A7C15u;
    }
    void Add(float value) {
        uint32_t word = 0;
        std::memcpy(&word, &value, sizeof word);
        Add(word);
    }
    bool operator==(const ShapeKey&) const = default;
};

struct ShapeKeyHash {
    size_t operator()(const ShapeKey& k) const { return static_cast<size_t>(k.a ^ (k.b >> 1)); }
};

// One mesh of the file: the part whose triangles it holds and where they go.
struct MeshPlan {
    size_t owner = 0;    // index of the part gathered for its vertices
    uint32_t count = 0;  // vertices, three a triangle
    uint32_t users = 0;  // parts drawn with it
    int material = 0;
    uint64_t first = 0;  // index of its first vertex in the vertex data
    // Bounds of the positions written: the owner's placed ones, or those relative to
    // its first corner when parts share the mesh.
    float placedMin[3] = {}, placedMax[3] = {};
    float movedMin[3] = {}, movedMax[3] = {};
};

struct PartPlan {
    int mesh = -1;  // -1: the part has no face
    int material = 0;
    float corner[3] = {};  // its first corner (mm): the translation of a shared mesh
};

// What a vertex carries besides its position and normal.
enum class VertexLook {
    kTexture,  // texture coordinates
    kColour,   // the linear colour
    kNone,     // nothing: the material's colour, shaded by the reader's lighting
};

// The values written for one vertex: position (metres), normal, and its look.
struct VertexValues {
    float v[9];
    int n;
};

VertexValues ValuesOf(const TriangleSink::Vertex& vertex, const float* corner, VertexLook look) {
    VertexValues out{};
    for (int k = 0; k < 3; ++k) {
        const double at = corner ? static_cast<double>(vertex.position[k]) - corner[k]
                                 : static_cast<double>(vertex.position[k]);
        out.v[k] = static_cast<float>(at * kMetresPerMillimetre);
        out.v[3 + k] = vertex.normal[k];
    }
    out.n = 6;
    if (look == VertexLook::kTexture) {
        out.v[6] = vertex.uv[0];
        out.v[7] = vertex.uv[1];
        out.n = 8;
    } else if (look == VertexLook::kColour) {
        for (int k = 0; k < 3; ++k) out.v[6 + k] = LinearFromSrgb(vertex.colour[k]);
        out.n = 9;
    }
    return out;
}

void Widen(const float* p, float* lo, float* hi, bool first) {
    for (int k = 0; k < 3; ++k) {
        lo[k] = first ? p[k] : std::min(lo[k], p[k]);
        hi[k] = first ? p[k] : std::max(hi[k], p[k]);
    }
}

class GlbStreamWriter {
public:
    GlbStreamWriter(const GlbParts& parts, const GltfLook& look, const GltfAsset& asset)
        : m_in(parts),
          m_look(look),
          m_asset(asset),
          m_textured(look.pixels != nullptr && look.width > 0 && look.height > 0),
          m_design(look.designColours && !m_textured),
          m_vertexLook(m_textured ? VertexLook::kTexture
                       : m_design ? VertexLook::kNone
                                  : VertexLook::kColour),
          m_attributes(m_design ? 2 : 3),
          m_stride(m_textured ? 32
                   : m_design ? 24
                              : 36) {}

    // The first pass: meshes, bounds and the file's length. Nothing is written.
    GlbResult Plan(std::string& error) {
        if (m_textured && !EncodePng(m_look, m_image)) {
            error = "Das Texturbild konnte nicht eingebettet werden.";
            return GlbResult::kFailed;
        }
        std::unordered_map<ShapeKey, int, ShapeKeyHash> shapes;
        std::unordered_map<long, int> materials;  // a colour's material
        m_partPlans.resize(m_in.parts.size());
        uint64_t vertices = 0;
        for (size_t i = 0; i < m_in.parts.size(); ++i) {
            const std::vector<TriangleSink::Vertex>& v = Gather(i);
            if (v.empty()) continue;
            if (v.size() > std::numeric_limits<uint32_t>::max()) return TooLarge(error);
            PartPlan& part = m_partPlans[i];
            std::copy(v[0].position, v[0].position + 3, part.corner);
            if (m_design) {
                // By the colour shown: a value out of range is the grey it shows in.
                const RGBA c = DesignColour(m_in.parts[i].colour);
                const long rgb = c[0] | (c[1] << 8) | (c[2] << 16);
                const auto [at, added] = materials.emplace(rgb, static_cast<int>(m_colours.size()));
                if (added) m_colours.push_back(rgb);
                part.material = at->second;
            }
            ShapeKey key;
            key.Add(static_cast<uint32_t>(part.material));
            key.Add(static_cast<uint32_t>(v.size()));
            float placedMin[3] = {}, placedMax[3] = {}, movedMin[3] = {}, movedMax[3] = {};
            for (size_t j = 0; j < v.size(); ++j) {
                const VertexValues moved = ValuesOf(v[j], part.corner, m_vertexLook);
                for (int k = 0; k < moved.n; ++k) key.Add(moved.v[k]);
                Widen(moved.v, movedMin, movedMax, j == 0);
                Widen(ValuesOf(v[j], nullptr, m_vertexLook).v, placedMin, placedMax, j == 0);
            }
            const auto [at, added] = shapes.emplace(key, static_cast<int>(m_meshes.size()));
            part.mesh = at->second;
            if (!added) {
                ++m_meshes[at->second].users;
                continue;
            }
            MeshPlan mesh;
            mesh.owner = i;
            mesh.count = static_cast<uint32_t>(v.size());
            mesh.users = 1;
            mesh.material = part.material;
            mesh.first = vertices;
            std::copy(placedMin, placedMin + 3, mesh.placedMin);
            std::copy(placedMax, placedMax + 3, mesh.placedMax);
            std::copy(movedMin, movedMin + 3, mesh.movedMin);
            std::copy(movedMax, movedMax + 3, mesh.movedMax);
            m_meshes.push_back(mesh);
            vertices += v.size();
        }
        m_in.sink->Release();
        if (m_meshes.empty()) return GlbResult::kNoFaces;

        m_vertexBytes = vertices * m_stride;
        m_imageOffset = m_vertexBytes;
        m_bufferBytes = m_imageOffset + m_image.size();
        if (m_bufferBytes > kLargestGlb) return TooLarge(error);
        CountingStream counter;
        if (!WriteJson(counter)) {
            error = "Das Modell enthält Zahlen, die glTF nicht darstellen kann.";
            return GlbResult::kFailed;
        }
        m_jsonBytes = counter.count;
        const uint64_t total = 12 + 8 + Padded(m_jsonBytes) + 8 + Padded(m_bufferBytes);
        if (total > kLargestGlb) return TooLarge(error);
        m_fileBytes = total;
        return GlbResult::kWritten;
    }

    // The file as planned, into `out`.
    GlbResult Write(std::ostream& out, std::string& error) {
        WriteWord(out, kGlbMagic);
        WriteWord(out, 2);
        WriteWord(out, static_cast<uint32_t>(m_fileBytes));
        WriteWord(out, static_cast<uint32_t>(Padded(m_jsonBytes)));
        WriteWord(out, kChunkJson);
        {
            BufferedStream json(out);
            WriteJson(json);
            json.Flush();
        }
        out.write("   ", static_cast<std::streamsize>(Padded(m_jsonBytes) - m_jsonBytes));
        WriteWord(out, static_cast<uint32_t>(Padded(m_bufferBytes)));
        WriteWord(out, kChunkBinary);

        std::vector<float> values;
        for (const MeshPlan& mesh : m_meshes) {
            const std::vector<TriangleSink::Vertex>& v = Gather(mesh.owner);
            // Each part is drawn the same way every time; anything else would put
            // the data where the JSON does not say.
            if (v.size() != mesh.count) {
                error = "Das Modell hat sich während des Exports verändert.";
                return GlbResult::kFailed;
            }
            const float* corner = mesh.users > 1 ? m_partPlans[mesh.owner].corner : nullptr;
            values.resize(v.size() * m_stride / sizeof(float));
            float* to = values.data();
            for (const TriangleSink::Vertex& vertex : v) {
                const VertexValues one = ValuesOf(vertex, corner, m_vertexLook);
                to = std::copy(one.v, one.v + one.n, to);
            }
            out.write(reinterpret_cast<const char*>(values.data()),
                      static_cast<std::streamsize>(values.size() * sizeof(float)));
            if (!out) break;
        }
        m_in.sink->Release();
        out.write(reinterpret_cast<const char*>(m_image.data()),
                  static_cast<std::streamsize>(m_image.size()));
        const char zeros[3] = {0, 0, 0};
        out.write(zeros, static_cast<std::streamsize>(Padded(m_bufferBytes) - m_bufferBytes));
        out.flush();
        if (!out) {
            error = "Die Datei konnte nicht vollständig geschrieben werden.";
            return GlbResult::kFailed;
        }
        return GlbResult::kWritten;
    }

private:
    static uint64_t Padded(uint64_t n) { return (n + 3) / 4 * 4; }

    static void WriteWord(std::ostream& out, uint32_t word) {
        const char bytes[4] = {static_cast<char>(word), static_cast<char>(word >> 8),
                               static_cast<char>(word >> 16), static_cast<char>(word >> 24)};
        out.write(bytes, 4);
    }

    GlbResult TooLarge(std::string& error) const {
        error = "Das Modell ist zu groß für eine glTF-Binärdatei (höchstens 4 GiB).";
        return GlbResult::kFailed;
    }

    const std::vector<TriangleSink::Vertex>& Gather(size_t index) {
        TriangleSink& sink = *m_in.sink;
        sink.Clear();
        sink.StartGroup(m_in.parts[index].record);
        m_in.draw(index);
        sink.Finish();
        return sink.Vertices();
    }

    template <typename Stream>
    bool WriteJson(Stream& stream) const {
        rapidjson::Writer<Stream> w(stream);
        auto text = [&w](const std::string& s) {
            return w.String(s.data(), static_cast<rapidjson::SizeType>(s.size()));
        };
        auto floats = [&w](const float* values, int n) {
            bool ok = w.StartArray();
            for (int k = 0; k < n; ++k) ok = ok && w.Double(values[k]);
            return ok && w.EndArray();
        };
        bool ok = w.StartObject();
        w.Key("asset");
        w.StartObject();
        w.Key("version");
        w.String("2.0");
        w.Key("generator");
        text(TextAsUtf8(m_asset.generator));
        if (!m_asset.description.empty()) {
            w.Key("extras");
            w.StartObject();
            w.Key("description");
            text(TextAsUtf8(m_asset.description));
            w.EndObject();
        }
        w.EndObject();

        w.Key("scene");
        w.Uint(0);
        w.Key("scenes");
        w.StartArray();
        w.StartObject();
        w.Key("nodes");
        w.StartArray();
        for (size_t i = 0; i < m_in.parts.size(); ++i) w.Uint64(i);
        w.EndArray();
        w.EndObject();
        w.EndArray();

        w.Key("nodes");
        w.StartArray();
        for (size_t i = 0; i < m_in.parts.size(); ++i) {
            const GlbPart& part = m_in.parts[i];
            const PartPlan& plan = m_partPlans[i];
            w.StartObject();
            w.Key("name");
            text("Teil " + std::to_string(part.record));
            if (plan.mesh >= 0) {
                w.Key("mesh");
                w.Int(plan.mesh);
                if (m_meshes[plan.mesh].users > 1) {
                    w.Key("translation");
                    w.StartArray();
                    for (const float c : plan.corner) ok = ok && w.Double(c * kMetresPerMillimetre);
                    w.EndArray();
                }
            }
            w.Key("extras");
            w.StartObject();
            w.Key("record");
            w.Int(part.record);
            w.Key("kind");
            w.String(part.kind);
            w.Key("sizes");
            w.StartArray();
            for (const double s : part.sizes) ok = ok && w.Double(s);
            w.EndArray();
            w.Key("colour");
            w.Int64(part.colour);
            w.EndObject();
            w.EndObject();
        }
        w.EndArray();

        w.Key("meshes");
        w.StartArray();
        for (size_t m = 0; m < m_meshes.size(); ++m) {
            w.StartObject();
            w.Key("primitives");
            w.StartArray();
            w.StartObject();
            w.Key("attributes");
            w.StartObject();
            w.Key("POSITION");
            w.Uint64(m_attributes * m);
            w.Key("NORMAL");
            w.Uint64(m_attributes * m + 1);
            if (m_attributes == 3) {
                w.Key(m_textured ? "TEXCOORD_0" : "COLOR_0");
                w.Uint64(m_attributes * m + 2);
            }
            w.EndObject();
            w.Key("material");
            w.Int(m_meshes[m].material);
            w.Key("mode");
            w.Int(4);  // triangles
            w.EndObject();
            w.EndArray();
            w.EndObject();
        }
        w.EndArray();

        // Accessors a mesh into the one interleaved view: position, normal and the
        // vertices' look where they carry one.
        w.Key("accessors");
        w.StartArray();
        for (const MeshPlan& mesh : m_meshes) {
            const uint64_t offset = mesh.first * m_stride;
            const bool moved = mesh.users > 1;
            for (uint32_t a = 0; a < m_attributes; ++a) {
                w.StartObject();
                w.Key("bufferView");
                w.Uint(0);
                w.Key("byteOffset");
                w.Uint64(offset + 12 * a);
                w.Key("componentType");
                w.Int(kFloat);
                w.Key("count");
                w.Uint(mesh.count);
                w.Key("type");
                w.String(a == 2 && m_textured ? "VEC2" : "VEC3");
                if (a == 0) {
                    // Readers size their bounds from these; they are the stored values.
                    w.Key("min");
                    ok = ok && floats(moved ? mesh.movedMin : mesh.placedMin, 3);
                    w.Key("max");
                    ok = ok && floats(moved ? mesh.movedMax : mesh.placedMax, 3);
                }
                w.EndObject();
            }
        }
        w.EndArray();

        w.Key("bufferViews");
        w.StartArray();
        w.StartObject();
        w.Key("buffer");
        w.Uint(0);
        w.Key("byteLength");
        w.Uint64(m_vertexBytes);
        w.Key("byteStride");
        w.Uint(m_stride);
        w.Key("target");
        w.Int(kArrayBuffer);
        w.EndObject();
        if (m_textured) {
            w.StartObject();
            w.Key("buffer");
            w.Uint(0);
            w.Key("byteOffset");
            w.Uint64(m_imageOffset);
            w.Key("byteLength");
            w.Uint64(m_image.size());
            w.EndObject();
        }
        w.EndArray();
        w.Key("buffers");
        w.StartArray();
        w.StartObject();
        w.Key("byteLength");
        w.Uint64(m_bufferBytes);
        w.EndObject();
        w.EndArray();

        // One material, or one per design colour in the order the parts first use them.
        w.Key("materials");
        w.StartArray();
        const size_t materials = m_design ? m_colours.size() : 1;
        for (size_t i = 0; i < materials; ++i) {
            w.StartObject();
            w.Key("name");
            text(m_design ? DesignColourHex(m_colours[i]) : m_textured ? "Textur" : "Schattierung");
            w.Key("pbrMetallicRoughness");
            w.StartObject();
            if (m_textured) {
                w.Key("baseColorTexture");
                w.StartObject();
                w.Key("index");
                w.Uint(0);
                w.EndObject();
            }
            if (m_design) {
                const RGBA c = DesignColour(m_colours[i]);
                w.Key("baseColorFactor");
                w.StartArray();
                for (int k = 0; k < 3; ++k) w.Double(LinearOf(c[k]));
                w.Double(1.0);
                w.EndArray();
            }
            w.Key("metallicFactor");
            w.Double(0.0);
            w.Key("roughnessFactor");
            w.Double(1.0);
            w.EndObject();
            w.EndObject();
        }
        w.EndArray();

        if (m_textured) {
            w.Key("images");
            w.StartArray();
            w.StartObject();
            w.Key("bufferView");
            w.Uint(1);
            w.Key("mimeType");
            w.String("image/png");
            w.EndObject();
            w.EndArray();
            w.Key("samplers");
            w.StartArray();
            w.StartObject();
            w.Key("magFilter");
            w.Int(9729);  // linear
            w.Key("minFilter");
            w.Int(9987);  // linear, mipmaps linear
            w.Key("wrapS");
            w.Int(10497);  // repeat
            w.Key("wrapT");
            w.Int(10497);
            w.EndObject();
            w.EndArray();
            w.Key("textures");
            w.StartArray();
            w.StartObject();
            w.Key("sampler");
            w.Uint(0);
            w.Key("source");
            w.Uint(0);
            w.EndObject();
            w.EndArray();
        }
        ok = ok && w.EndObject();
        return ok && w.IsComplete();
    }

    const GlbParts& m_in;
    const GltfLook& m_look;
    const GltfAsset& m_asset;
    const bool m_textured;
    const bool m_design;  // a material per design colour
    const VertexLook m_vertexLook;
    const uint32_t m_attributes;  // accessors a mesh: position, normal and its look
    const uint32_t m_stride;      // bytes a vertex
    std::vector<long> m_colours;  // the design colours' values, a material each
    std::vector<unsigned char> m_image;
    std::vector<PartPlan> m_partPlans;
    std::vector<MeshPlan> m_meshes;
    uint64_t m_vertexBytes = 0;
    uint64_t m_imageOffset = 0;
    uint64_t m_bufferBytes = 0;
    uint64_t m_jsonBytes = 0;
    uint64_t m_fileBytes = 0;
};

}  // namespace

std::string TextAsUtf8(const std::string& bytes) {
    // Control characters, and the bytes Windows-1252 leaves unassigned, are left out.
    const bool utf8 = winpath::IsValidUtf8(bytes);
    std::string kept;
    kept.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) continue;
        if (!utf8 && (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)) continue;
        kept += ch;
    }
    return utf8 ? kept : winpath::Windows1252ToUtf8(kept);
}

GlbResult WriteGlbTo(std::ostream& out, const GlbParts& parts, const GltfLook& look,
                     const GltfAsset& asset, std::string& error) {
    GlbStreamWriter writer(parts, look, asset);
    const GlbResult planned = writer.Plan(error);
    return planned == GlbResult::kWritten ? writer.Write(out, error) : planned;
}

GlbResult WriteGlb(const std::string& path, const GlbParts& parts, const GltfLook& look,
                   const GltfAsset& asset, std::string& error) {
    GlbStreamWriter writer(parts, look, asset);
    const GlbResult planned = writer.Plan(error);
    if (planned != GlbResult::kWritten) return planned;
    ReplacingFile file;
    if (!file.Open(path)) {
        error = "Die Datei kann nicht geschrieben werden:\n" + path;
        return GlbResult::kFailed;
    }
    FileStreamBuffer buffer(file.Stream());
    std::ostream stream(&buffer);
    const GlbResult written = writer.Write(stream, error);
    if (written != GlbResult::kWritten || buffer.Failed() || !file.Commit()) {
        file.Discard();
        // A part drawn otherwise the second time keeps its own message.
        if (written == GlbResult::kWritten || buffer.Failed())
            error = "Die Datei konnte nicht vollständig geschrieben werden:\n" + path;
        return GlbResult::kFailed;
    }
    return GlbResult::kWritten;
}

}  // namespace orx
