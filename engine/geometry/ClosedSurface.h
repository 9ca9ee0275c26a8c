// Whether a mesh's triangles close a surface that is seen only from the side its normals
// face: every edge (vertices welded by their position, so seams of texture coordinates
// do not open it) is used as often in one direction as in the other, and the triangles
// wind counter-clockwise seen from that side. An edge may be used more than once each
// way where the surface pinches, as rock from a distance field does where two walls
// touch: it still closes. Back faces of such a surface can never be what the eye
// sees while the eye stays on that side, so they can be culled without changing the
// picture. It reads the arrays it is given and keeps nothing.
#pragma once

class TriangleList;
class VertexArray;

// False without positions or normals, without triangles, for an open or inconsistently
// wound surface, and when the winding turns against the normals.
bool isClosedFacingItsNormals(const VertexArray& vertices, const TriangleList& triangles);
