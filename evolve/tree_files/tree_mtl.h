// best-P.mtl: the material of best-P.obj, so that a 3D tool shows the tree in the colour the panels draw
// it in rather than in its own default grey.
#pragma once

#include <string>

// The one material of a tree's OBJ file, as its usemtl names it.
inline constexpr const char* kTreeMaterialName = "tree";

// A Wavefront MTL file holding kTreeMaterialName; `comment` (one line) heads the file.
std::string TreeMtl(const std::string& comment);
