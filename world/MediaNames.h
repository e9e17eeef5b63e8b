// The meshes, materials and overlays the game asks the engine for by name; the start-up check looks for each.
#pragma once

namespace Media {
constexpr const char* BALL_MESH = "sphere.mesh";
constexpr const char* BARREL_MESH = "Barrel.mesh";
// The platform is a cube flattened into a pallet.
constexpr const char* PLATFORM_MESH = "cube.mesh";

constexpr const char* METAL_MATERIAL = "Examples/BumpyMetal";
constexpr const char* GRASS_MATERIAL = "Examples/GrassFloor";
constexpr const char* RUST_MATERIAL = "RustyBarrel";
constexpr const char* FLOOR_MATERIAL = "Examples/Rockwall";
constexpr const char* PLATFORM_MATERIAL = "WoodPallet";

// The aiming aids: the landing marker's ring and dotted arc, and the crosshair.
constexpr const char* LANDING_RING_MATERIAL = "Barrels/LandingRing";
constexpr const char* LANDING_ARC_MATERIAL = "Barrels/LandingArc";
constexpr const char* CROSSHAIR_OVERLAY = "Barrels/Crosshair";
} // namespace Media
