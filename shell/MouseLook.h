// How far the view follows the mouse: degrees of turn (or units of pan, with the right button held
// on the free camera) per unit of mouse motion. The game keeps the free camera's rate, and anyone
// aiming with the mouse must know it.
#pragma once

const double MOUSE_SENSITIVITY = 0.13;
