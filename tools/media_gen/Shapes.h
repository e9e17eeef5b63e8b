// The game's three meshes, built around the origin.
#pragma once

class MeshBuilder;

/// UV sphere; u runs once round the equator, v from the north to the south pole.
void buildSphere(MeshBuilder& mesh, float radius, int segments, int rings);
/// Closed cylinder standing on the y axis; the side texture wraps round once.
void buildBarrel(MeshBuilder& mesh, float radius, float height, int segments);
/// Box with one flat-shaded quad per face, each face mapped to the whole texture.
void buildCube(MeshBuilder& mesh, float side);
