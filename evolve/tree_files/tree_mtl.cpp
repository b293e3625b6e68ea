#include "evolve/tree_files/tree_mtl.h"

#include <charconv>

#include "tree/tree_drawing.h"

namespace {

std::string ColourLine(const char* keyword, const double (&colour)[3]) {
    std::string line = keyword;
    for (const double channel : colour) {
        char digits[32];
        const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, channel);
        line += ' ';
        line.append(digits, end.ptr);
    }
    return line + '\n';
}

}  // namespace

std::string TreeMtl(const std::string& comment) {
    // The panels light a tree through its colour material: the drawing colour reflects both the ambient
    // and the diffuse light, and nothing is reflected specularly, so the tree is matte (illum 1, Ns 0).
    constexpr double kNoSpecular[3] = {0.0, 0.0, 0.0};
    std::string text = "# " + comment + "\nnewmtl " + kTreeMaterialName + '\n';
    text += ColourLine("Ka", kTreeColour);
    text += ColourLine("Kd", kTreeColour);
    text += ColourLine("Ks", kNoSpecular);
    text += "Ns 0\nd 1\nillum 1\n";
    return text;
}
