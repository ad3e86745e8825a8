// The star field: random coloured points in one display list, drawn twice per frame.
#pragma once

// Where the stars lie between the inner and the outer extent.
enum StarShape : int {
    kCubeShell = 1,       // a cube less its centre cube
    kUpperHalfShell = 2,  // the upper half of a spherical shell
    kSphericalShell = 3,  // a spherical shell, as is any other value
};

class StarField {
public:
    virtual ~StarField();

    // Compiles `count` random stars of the StarShape `shape` between the inner and outer
    // extent. Arguments for which no position can ever be accepted build an empty list. The
    // shape is passed as an int: the benchmark wraps this function by its linker name.
    void build(int count, float outerRadius, float innerRadius, int shape);

    // Draws the stars twice, the second pass turned 120 degrees about y with larger points.
    void draw();

    // Deletes the list, if any.
    void release();

    int listId = -1;  // the compiled list of points; -1 while there is none
};

extern StarField starField;
