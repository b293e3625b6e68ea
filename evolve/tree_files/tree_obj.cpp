#include "evolve/tree_files/tree_obj.h"

#include <charconv>

#include "evolve/tree_files/tree_mtl.h"

namespace {

// The shortest text that reads back as the same float: the mesh holds floats, not doubles.
void AppendFloat(std::string& text, float value) {
    char digits[32];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
    text += ' ';
    text.append(digits, end.ptr);
}

void AppendTriples(std::string& text, const char* keyword, const std::vector<float>& values) {
    for (std::size_t i = 0; i + 2 < values.size(); i += 3) {
        text += keyword;
        AppendFloat(text, values[i]);
        AppendFloat(text, values[i + 1]);
        AppendFloat(text, values[i + 2]);
        text += '\n';
    }
}

}  // namespace

std::string TreeObj(const TreeMesh& mesh, const std::string& name, const std::string& comment,
                    const std::string& materialFile) {
    std::string text = "# " + comment + "\n# " + std::to_string(mesh.segments) + " cylinders, " +
                       std::to_string(mesh.positions.size() / 3) + " vertices, " +
                       std::to_string(mesh.triangles.size() / 3) + " triangles\nmtllib " + materialFile + "\no " +
                       name + '\n';
    text.reserve(text.size() + 40 * (mesh.positions.size() + mesh.normals.size()) / 3 + 30 * mesh.triangles.size() / 3);
    AppendTriples(text, "v", mesh.positions);
    AppendTriples(text, "vn", mesh.normals);
    text += std::string("usemtl ") + kTreeMaterialName + '\n';
    for (std::size_t i = 0; i + 2 < mesh.triangles.size(); i += 3) {
        text += 'f';
        for (std::size_t k = 0; k < 3; ++k) {
            const std::string index = std::to_string(mesh.triangles[i + k] + 1);
            text += ' ' + index + "//" + index;
        }
        text += '\n';
    }
    return text;
}
