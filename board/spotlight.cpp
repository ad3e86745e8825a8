// The spotlight: light, light-model and material state scaled by the scene brightness.
#include "board/spotlight.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "state/settings.h"

namespace {
struct Colour {
    GLfloat rgba[4];
};

Colour scaledGrey(float level, float scale) {
    float c = level * scale;
    return {{c, c, c, 1.0f}};
}
}  // namespace

void setupSpotlight(int light, float ambientLevel, float diffuseLevel, float specularLevel,
                    float materialSpecularLevel, float scale) {
    const GLenum lightName = GL_LIGHT0 + static_cast<GLenum>(light);
    Colour ambient = scaledGrey(ambientLevel, scale);
    Colour diffuse = scaledGrey(diffuseLevel, scale);
    Colour specular = scaledGrey(specularLevel, scale);
    Colour materialSpecular = scaledGrey(materialSpecularLevel, scale);

    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient.rgba);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, materialSpecular.rgba);
    glLightfv(lightName, GL_AMBIENT, ambient.rgba);
    glLightfv(lightName, GL_DIFFUSE, diffuse.rgba);
    glLightfv(lightName, GL_SPECULAR, specular.rgba);

    // Placed in the eye's frame without the camera transform: the light sits on the viewing
    // axis at the camera's target point and moves with the camera.
    static const GLfloat position[] = {0, 0, 0, 1};
    static const GLfloat direction[] = {0, 0, 0};
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(0, 0, settings.cameraZ, 0, 0, settings.cameraZ - 1, 0, 1, 0);
    glLightfv(lightName, GL_POSITION, position);
    glLightfv(lightName, GL_SPOT_DIRECTION, direction);
    glPopMatrix();
    glEnable(lightName);
}
