// The glTF writer: one binary buffer holding all positions, then all normals, then
// all texture coordinates or colours, then the texture image; one accessor of each
// per part, so that every part is a node and mesh of its own.
#include "export/GltfWriter.h"

#include <png.h>
#include <tiny_gltf.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <ostream>
#include <streambuf>
#include <utility>
#include <vector>

#include "platform/ReplacingFile.h"
#include "ui/WindowsPath.h"

namespace orx {

namespace {

constexpr double kMetresPerMillimetre = 0.001;

// An sRGB byte as the linear value glTF's vertex colours hold.
float LinearFromSrgb(unsigned char byte) {
    // A table of the 256 values: a large model has millions of corners and few colours.
    static const std::array<float, 256> kTable = [] {
        std::array<float, 256> table{};
        for (size_t b = 0; b < table.size(); ++b) {
            const double v = static_cast<double>(b) / 255.0;
            table[b] =
                static_cast<float>(v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
        return table;
    }();
    return kTable[byte];
}

// A std::ostream target that writes to a C stream and remembers a failed write.
class FileStreamBuffer final : public std::streambuf {
public:
    explicit FileStreamBuffer(FILE* file) : m_file(file) {}
    bool Failed() const { return m_failed; }

protected:
    std::streamsize xsputn(const char* data, std::streamsize n) override {
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

// A view of the buffer; vertex data shared by several accessors states its stride.
int AddBufferView(tinygltf::Model& model, size_t offset, size_t length, int target,
                  size_t stride = 0) {
    tinygltf::BufferView view;
    view.byteStride = stride;
    view.buffer = 0;
    view.byteOffset = offset;
    view.byteLength = length;
    view.target = target;
    model.bufferViews.push_back(std::move(view));
    return static_cast<int>(model.bufferViews.size() - 1);
}

int AddAccessor(tinygltf::Model& model, int view, size_t offset, size_t count, int type) {
    tinygltf::Accessor accessor;
    accessor.bufferView = view;
    accessor.byteOffset = offset;
    accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    accessor.count = count;
    accessor.type = type;
    model.accessors.push_back(std::move(accessor));
    return static_cast<int>(model.accessors.size() - 1);
}

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

bool WriteGlb(const std::string& path, TriangleSink& sink, const GltfLook& look,
              const GltfAsset& asset, std::string& error) {
    const bool textured = look.pixels != nullptr && look.width > 0 && look.height > 0;
    const std::vector<TriangleSink::Vertex>& vertices = sink.Vertices();
    const size_t n = vertices.size();
    const size_t positionBytes = n * 3 * sizeof(float);
    const size_t lookBytes = n * (textured ? 2 : 3) * sizeof(float);

    tinygltf::Model model;
    model.asset.version = "2.0";
    model.asset.generator = asset.generator;
    if (!asset.description.empty()) {
        tinygltf::Value::Object extras;
        extras["description"] = tinygltf::Value(TextAsUtf8(asset.description));
        model.asset.extras = tinygltf::Value(std::move(extras));
    }

    std::vector<unsigned char> image;
    if (textured && !EncodePng(look, image)) {
        error = "Das Texturbild konnte nicht eingebettet werden.";
        return false;
    }

    // All positions, all normals, all texture coordinates or colours, the image.
    tinygltf::Buffer buffer;
    buffer.data.resize(2 * positionBytes + lookBytes + image.size());
    auto* positions = reinterpret_cast<float*>(buffer.data.data());
    auto* normals = reinterpret_cast<float*>(buffer.data.data() + positionBytes);
    auto* looks = reinterpret_cast<float*>(buffer.data.data() + 2 * positionBytes);
    for (size_t i = 0; i < n; ++i) {
        const TriangleSink::Vertex& v = vertices[i];
        for (int k = 0; k < 3; ++k) {
            positions[3 * i + k] = static_cast<float>(v.position[k] * kMetresPerMillimetre);
            normals[3 * i + k] = v.normal[k];
        }
        if (textured) {
            looks[2 * i] = v.uv[0];
            looks[2 * i + 1] = v.uv[1];
        } else {
            for (int k = 0; k < 3; ++k) looks[3 * i + k] = LinearFromSrgb(v.colour[k]);
        }
    }
    if (!image.empty())
        std::memcpy(buffer.data.data() + 2 * positionBytes + lookBytes, image.data(), image.size());

    const std::vector<TriangleSink::Group> groups = sink.Groups();
    sink.Release();

    int positionView = -1, normalView = -1, lookView = -1;
    if (n > 0) {
        const size_t vec3 = 3 * sizeof(float);
        positionView = AddBufferView(model, 0, positionBytes, TINYGLTF_TARGET_ARRAY_BUFFER, vec3);
        normalView =
            AddBufferView(model, positionBytes, positionBytes, TINYGLTF_TARGET_ARRAY_BUFFER, vec3);
        lookView = AddBufferView(model, 2 * positionBytes, lookBytes, TINYGLTF_TARGET_ARRAY_BUFFER,
                                 textured ? 2 * sizeof(float) : vec3);
    }

    tinygltf::Material material;
    material.name = textured ? "Textur" : "Schattierung";
    material.pbrMetallicRoughness.metallicFactor = 0.0;
    material.pbrMetallicRoughness.roughnessFactor = 1.0;
    if (textured) {
        tinygltf::Image embedded;
        embedded.mimeType = "image/png";
        embedded.bufferView = AddBufferView(model, 2 * positionBytes + lookBytes, image.size(), 0);
        model.images.push_back(std::move(embedded));
        tinygltf::Sampler sampler;
        sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
        sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR_MIPMAP_LINEAR;
        sampler.wrapS = sampler.wrapT = TINYGLTF_TEXTURE_WRAP_REPEAT;
        model.samplers.push_back(sampler);
        tinygltf::Texture texture;
        texture.source = 0;
        texture.sampler = 0;
        model.textures.push_back(texture);
        material.pbrMetallicRoughness.baseColorTexture.index = 0;
    }
    model.materials.push_back(std::move(material));

    tinygltf::Scene scene;
    model.nodes.reserve(groups.size());
    model.meshes.reserve(groups.size());
    model.accessors.reserve(3 * groups.size());
    for (const TriangleSink::Group& g : groups) {
        tinygltf::Node node;
        node.name = "Teil " + std::to_string(g.number);
        if (g.count > 0) {
            tinygltf::Primitive primitive;
            primitive.mode = TINYGLTF_MODE_TRIANGLES;
            primitive.material = 0;
            const int position = AddAccessor(model, positionView, g.first * 3 * sizeof(float),
                                             g.count, TINYGLTF_TYPE_VEC3);
            // Readers size their bounds from these; they must be the stored values.
            tinygltf::Accessor& a = model.accessors.back();
            a.minValues.assign(3, HUGE_VAL);
            a.maxValues.assign(3, -HUGE_VAL);
            for (size_t i = g.first; i < g.first + g.count; ++i)
                for (int k = 0; k < 3; ++k) {
                    a.minValues[k] = std::min<double>(a.minValues[k], positions[3 * i + k]);
                    a.maxValues[k] = std::max<double>(a.maxValues[k], positions[3 * i + k]);
                }
            primitive.attributes["POSITION"] = position;
            primitive.attributes["NORMAL"] = AddAccessor(
                model, normalView, g.first * 3 * sizeof(float), g.count, TINYGLTF_TYPE_VEC3);
            if (textured) {
                primitive.attributes["TEXCOORD_0"] = AddAccessor(
                    model, lookView, g.first * 2 * sizeof(float), g.count, TINYGLTF_TYPE_VEC2);
            } else {
                primitive.attributes["COLOR_0"] = AddAccessor(
                    model, lookView, g.first * 3 * sizeof(float), g.count, TINYGLTF_TYPE_VEC3);
            }
            tinygltf::Mesh mesh;
            mesh.primitives.push_back(std::move(primitive));
            model.meshes.push_back(std::move(mesh));
            node.mesh = static_cast<int>(model.meshes.size() - 1);
        }
        scene.nodes.push_back(static_cast<int>(model.nodes.size()));
        model.nodes.push_back(std::move(node));
    }
    model.scenes.push_back(std::move(scene));
    model.defaultScene = 0;
    if (!buffer.data.empty()) model.buffers.push_back(std::move(buffer));

    ReplacingFile file;
    if (!file.Open(path)) {
        error = "Die Datei kann nicht geschrieben werden:\n" + path;
        return false;
    }
    bool written = false;
    {
        FileStreamBuffer streamBuffer(file.Stream());
        std::ostream stream(&streamBuffer);
        tinygltf::TinyGLTF writer;
        try {
            written = writer.WriteGltfSceneToStream(&model, stream, false, true);
        } catch (const std::exception&) {
            written = false;
        }
        stream.flush();
        written = written && stream.good() && !streamBuffer.Failed();
    }
    if (!written || !file.Commit()) {
        file.Discard();
        error = "Die Datei konnte nicht vollständig geschrieben werden:\n" + path;
        return false;
    }
    return true;
}

}  // namespace orx
