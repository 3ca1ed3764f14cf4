#pragma once
// The face looks around while the body stands: two steps of headSwing degrees a
// frame, reversing at 35 degrees either side of the body's heading.

class HeadSwing {
public:
    static constexpr float LIMIT = 35.0f; // degrees

    static void update(float bodyRotY, float& faceRotY, float& headSwing) {
        if (bodyRotY + LIMIT > faceRotY) {
            faceRotY += headSwing;
        } else {
            headSwing = -headSwing;
        }
        if (faceRotY > bodyRotY - LIMIT) {
            faceRotY += headSwing;
        } else {
            headSwing = -headSwing;
        }
    }
};
