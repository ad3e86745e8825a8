// The star field: random coloured points in one display list, drawn twice per frame.
#pragma once

class StarField {
public:
    virtual ~StarField();

    // Compiles `count` random stars between the inner and outer extent. Shape 1: a cube less
    // its centre cube; 2: the upper half of a spherical shell; other: a spherical shell.
    // Arguments for which no position can ever be accepted build an empty list.
    void build(int count, float outerRadius, float innerRadius, int shape);

    // Draws the stars twice, the second pass turned 120 degrees about y with larger points.
    void draw();

    // Deletes the list, if any.
    void release();

    int listId = -1;  // the compiled list of points; -1 while there is none
};

extern StarField starField;
