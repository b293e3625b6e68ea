// best-P.obj: a tree as a triangle mesh in Wavefront OBJ, for other 3D tools. Vertices and normals come
// in pairs, so each face corner names one index for both (v//vn, counted from 1). Coordinates are those
// of the panels' scene, in which the camera looks at the tree; faces wind counter-clockwise from outside.
// Its faces use the material of the MTL file written beside it (see tree_mtl.h).
#pragma once

#include <string>

#include "tree/tree_mesh.h"

// One object named `name`; `comment` (one line) heads the file. materialFile is the MTL file's name,
// relative to the OBJ file's folder, as the OBJ's mtllib names it.
std::string TreeObj(const TreeMesh& mesh, const std::string& name, const std::string& comment,
                    const std::string& materialFile);
