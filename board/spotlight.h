// The spotlight: light, light-model and material state scaled by the scene brightness.
#pragma once

// Loads the lighting state of GL_LIGHT0 + light and enables that light. Lighting itself is
// never enabled, so the picture does not change.
void setupSpotlight(int light, float ambientLevel, float diffuseLevel, float specularLevel,
                    float materialSpecularLevel, float scale);
