// The record of every user-adjustable setting.
#pragma once

// The ranges that the keys keep the settings in, and that the command line accepts.
constexpr int kMinFieldOfView = 1, kMaxFieldOfView = 179;  // degrees
constexpr int kMinTesselation = 8, kMaxTesselation = 40;   // pins per column
constexpr int kMaxLetterbox = 6;                           // bar levels 0..6
// Stepped factors stay within these bounds, so that every step taken can be undone by the
// opposite key. Unbounded, 1.111111 would reach infinity, and 0.9 a floor among the subnormal
// floats that no step up can leave.
constexpr double kLowestFactor = 0.001, kHighestFactor = 1000.0;

// What the mode fields hold. The fields stay int, as the record is fixed; the enumerations are
// unscoped, so that a field takes and compares their values as they are.
enum PolygonMode : int { kFilledPolygons = 0, kPolygonLines = 1, kPolygonPoints = 2 };
enum CameraMode : int { kAutomaticCamera = 0, kManualCamera = 1 };
enum TextureGeneration : int { kSphereMap = 0, kObjectLinear = 1, kEyeLinear = 2 };
enum Blanking : int { kHyperspace = 0, kBlankEveryFrame = 1 };  // hyperspace leaves trails

// Fields are all zero until resetSettings() puts the defaults in.
class SimulationSettings {
public:
    virtual ~SimulationSettings();

    int fieldOfView;         // degrees, 1..179, before letterboxing
    int letterbox;           // bar level 0..6
    int tesselation;         // pin count T, 8..40: the board is 2T x T pins
    int universeOn;          // flag: star field drawn
    int blanking;            // Blanking: every frame cleared, or none (hyperspace)
    int spotlightOn;         // flag: spotlight state loaded every frame
    int texturesOn;          // flag: pin heads textured
    int polyMode;            // PolygonMode: polygons, lines or points
    int cameraMode;          // CameraMode: automatic flight or steered by hand
    int texGenMode;          // TextureGeneration: sphere map, object linear or eye linear
    int imageIndex;          // 0 fish-eye picture, 1 portrait, 2.. the person's own
    int clockOn;             // flag: frames-per-second line drawn
    float rotateSpeed;       // factor on the oscillators' turning band
    float movementSpeed;     // factor on the oscillators' moving band
    float cameraZ;           // eye distance on the z axis; unbounded
    float objectSize;        // factor; shown, used by nothing
    float mainSpeed;         // factor on the oscillators' frame clock and main band
    float speed;             // factor; shown, used by nothing
    float lightRotateSpeed;  // factor on the oscillators' light band (none of it runs)
};
