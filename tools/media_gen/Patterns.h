// The procedural textures of the game's materials, each one tileable.
#pragma once

class Texture;

void paintRust(Texture& texture);         ///< barrel side: rusty sheet metal with two hoops
void paintGrass(Texture& texture);        ///< short green grass
void paintWoodPlanks(Texture& texture);   ///< planks running along u
void paintRockWall(Texture& texture);     ///< irregular stones in mortar
void paintBrushedMetal(Texture& texture); ///< bright steel brushed along u
/// Sphere map of a bright sky over dark ground, for the shiny metal's reflection.
/// The top row reflects the sky, as the engine samples sphere maps.
void paintReflection(Texture& texture);
