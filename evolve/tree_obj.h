// best-P.obj: a tree as a triangle mesh in Wavefront OBJ, for other 3D tools. Vertices and normals come
// in pairs, so each face corner names one index for both (v//vn, counted from 1). Coordinates are those
// of the panels' scene, in which the camera looks at the tree; faces wind counter-clockwise from outside.
#pragma once

#include <string>

#include "tree/tree_mesh.h"

// One object named `name`; `comment` (one line) heads the file.
std::string TreeObj(const TreeMesh& mesh, const std::string& name, const std::string& comment);
