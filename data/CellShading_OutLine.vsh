!!ARBvp1.0
# Cel shading, with the combiners of CellShading_OutLine_FFP.psh. Per vertex it works
# out where to read two ramps; the ramps' flat bands make the look:
#   texture set 1, the tone ramp (tones.jpg, device slot 1): how squarely the surface
#     faces light 0, so the bands of the ramp become bands of light;
#   texture set 2, the outline ramp (tonesOutline.jpg, device slot 3): how squarely it
#     faces the eye, so the edge that turns away from the viewer reads the dark end;
#   texture set 0: the mesh's own coordinates, unchanged.
# The colour is the mesh material's diffuse colour: the bands take the place of lighting.
#
# Local parameters, as the render device sends codes 4, 1, 6, 14 (a matrix as one row
# per parameter):
#   0-3  projection x view x world
#   4-7  world
#   8    position of light 0 in world space (the show's light 0 is a point light)
#   9    program constant 0: the eye position in world space, set by the director
PARAM mvp[4] = { program.local[0..3] };
PARAM world[4] = { program.local[4..7] };
PARAM light = program.local[8];
PARAM eye = program.local[9];
# x, y: the range facing values are clamped to; z, w: ramp u = z + w x facing, which
# keeps u inside the first and last bands of the ramps.
PARAM range = { 0.0, 1.0, 0.05, 0.9 };
# Ramp coordinates start as (u, 0.5): the ramps are the same on every row.
PARAM row = { 0.0, 0.5, 0.0, 1.0 };
TEMP position, normal, toLight, toEye, facing, scale;

DP4 result.position.x, mvp[0], vertex.position;
DP4 result.position.y, mvp[1], vertex.position;
DP4 result.position.z, mvp[2], vertex.position;
DP4 result.position.w, mvp[3], vertex.position;

# World-space position and unit normal.
DP4 position.x, world[0], vertex.position;
DP4 position.y, world[1], vertex.position;
DP4 position.z, world[2], vertex.position;
DP3 normal.x, world[0], vertex.normal;
DP3 normal.y, world[1], vertex.normal;
DP3 normal.z, world[2], vertex.normal;
DP3 scale.x, normal, normal;
RSQ scale.x, scale.x;
MUL normal.xyz, normal, scale.x;

# Unit vectors from the vertex towards the light and towards the eye.
SUB toLight.xyz, light, position;
DP3 scale.x, toLight, toLight;
RSQ scale.x, scale.x;
MUL toLight.xyz, toLight, scale.x;
SUB toEye.xyz, eye, position;
DP3 scale.x, toEye, toEye;
RSQ scale.x, scale.x;
MUL toEye.xyz, toEye, scale.x;

# facing.x: diffuse light; facing.y: how squarely the surface faces the eye.
DP3 facing.x, normal, toLight;
DP3 facing.y, normal, toEye;
MAX facing.xy, facing, range.x;
MIN facing.xy, facing, range.y;
MAD facing.xy, facing, range.w, range.z;

MOV result.texcoord[0], vertex.texcoord[0];
MOV result.texcoord[1], row;
MOV result.texcoord[1].x, facing.x;
MOV result.texcoord[2], row;
MOV result.texcoord[2].x, facing.y;
MOV result.color, state.material.diffuse;
END
